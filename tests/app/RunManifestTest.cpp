// The manifest a run leaves beside its archive, through the real libraries:
// sha256sum checks it beside the archive and in a folder the month was
// extracted to, for every format we write; it lists exactly the logs that
// went; a month a stopped run left without one is completed by the next
// month's run and chained to; a rebuild says what it replaced.
#include <unistd.h>

#include <filesystem>
#include <set>

#include "app/run/CompressRun.h"
#include "app/run/Manifest.h"
#include "app/run/RunStep.h"
#include "app/run/Sha256.h"
#include "tests/app/RunSafetyFixture.h"
#include "tests/support/Files.h"

namespace {

namespace fs = std::filesystem;
using namespace pelsok::app;
using testing_support::RunCommand;
using testing_support::ShellQuote;

TParsedManifest ReadManifest(const std::string& path) {
  const auto parsed = ParseManifest(testing_support::ReadFile(path));
  if (!parsed) ADD_FAILURE() << path << " is not a manifest";
  return parsed.value_or(TParsedManifest{});
}

class RunManifestTest : public apptest::RunSafetyTest {
 protected:
  void TearDown() override { SetRunStepWatcher(nullptr); }
  TRunResult Run(const std::string& month) {
    TRunState state;
    const TRunInput in{Folder(), "DR", "26", month, false, true, *FindArchiveFormat("lzh")};
    return TCompressRun(state).Run(in, [] { return true; });
  }
  static void StopAt(TRunStep at) {
    SetRunStepWatcher([at](TRunStep step, const std::string&) {
      if (step == at) _exit(9);
    });
  }
};

TEST_F(RunManifestTest, Sha256sumChecksTheArchiveAndTheExtractedLogsOfEveryFormat) {
  SKIP_WITHOUT_TOOL("sha256sum");
  for (const char* format : {"lzh", "zip", "tgz", "tbz", "tar", "cab", "txz", "tzst"}) {
    SCOPED_TRACE(format);
    const auto row = FindArchiveFormat(format);
    if (!row) continue;  // not written by this build
    const std::string folder = dir.Folder(format) + "/";
    const auto logs = MakeLogs(folder, "DR11", 3, std::string(format) + " line\n");
    const std::string archive = folder + "DR2611" + row->Extension;
    const auto run = RunCommand(ShellQuote(PELSOK_CLI) + " --folder " + ShellQuote(folder) +
                                " -y 26 -m 11 --delete --format " + format);
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string manifest = ManifestName(archive);
    EXPECT_NE(run.output.find("\nmanifest " + manifest + "\n"), std::string::npos) << run.output;
    // The deletion comments name exactly the logs that went.
    const TParsedManifest m = ReadManifest(manifest);
    EXPECT_TRUE(m.SealMatches);
    std::set<std::string> deleted, listed;
    for (const auto& l : logs) {
      deleted.insert(folder + l);
      EXPECT_NE(run.output.find("deleted " + folder + l), std::string::npos) << run.output;
    }
    for (const auto& d : m.Manifest.Deleted) listed.insert(d.Log);
    EXPECT_EQ(listed, deleted);
    EXPECT_EQ(m.Manifest.Members.size(), logs.size());
    auto check = RunCommand("sha256sum -c --ignore-missing " + ShellQuote(manifest), folder);
    EXPECT_EQ(check.status, 0) << check.output;
    EXPECT_NE(check.output.find(fs::path(archive).filename().string() + ": OK"), std::string::npos)
        << check.output;
    // Extracted with our command line: every restored log checks.
    const std::string out = folder + "x/";
    const auto x = RunCommand(ShellQuote(PELSOK_CLI) + " extract " + ShellQuote(archive) + " " +
                              ShellQuote(out));
    ASSERT_EQ(x.status, 0) << x.output;
    fs::copy_file(manifest, out + "list.sha256");
    check = RunCommand("sha256sum -c --ignore-missing list.sha256", out);
    EXPECT_EQ(check.status, 0) << check.output;
    for (const auto& l : logs)
      EXPECT_NE(check.output.find(l + ": OK"), std::string::npos) << check.output;
  }
  // For timing, no manifest.
  MakeLogs(Folder(), "DR11", 1);
  const auto bare = RunCommand(ShellQuote(PELSOK_CLI) + " --folder " + ShellQuote(dir.Path()) +
                               " -y 26 -m 11 --no-manifest");
  EXPECT_EQ(bare.status, 0) << bare.output;
  EXPECT_EQ(bare.output.find("manifest"), std::string::npos) << bare.output;
  EXPECT_FALSE(fs::exists(dir / "DR2611.LZH.sha256"));
}

TEST_F(RunManifestTest, AStoppedMonthIsCompletedAndChainedAndARebuildSaysWhatItReplaced) {
  // Stopped once its archive was on the disk: no manifest yet.
  MakeLogs(Folder(), "DR10", 2);
  StopAt(TRunStep::ArchiveSynced);
  EXPECT_EXIT(Run("10"), testing::ExitedWithCode(9), "");
  ASSERT_TRUE(fs::exists(dir / "DR2610.LZH"));
  EXPECT_FALSE(fs::exists(dir / "DR2610.LZH.sha256"));
  SetRunStepWatcher(nullptr);

  // The next month's run makes it from the archive's members, then links to it.
  MakeLogs(Folder(), "DR11", 2);
  TRunResult r = Run("11");
  EXPECT_EQ(r.Grade, TRunGrade::Ok);
  EXPECT_EQ(r.Manifest, dir / "DR2611.LZH.sha256");
  bool told = false;
  for (const auto& note : r.Notes)
    told = told || note.find("DR2610.LZH.sha256") != std::string::npos;
  EXPECT_TRUE(told);
  const TParsedManifest october = ReadManifest(dir / "DR2610.LZH.sha256");
  EXPECT_TRUE(october.SealMatches);
  EXPECT_EQ(october.Manifest.Archive.Hash, FileSha256(dir / "DR2610.LZH"));
  EXPECT_EQ(october.Manifest.Members.size(), 2u);
  TParsedManifest november = ReadManifest(dir / "DR2611.LZH.sha256");
  ASSERT_TRUE(november.Manifest.Previous);
  EXPECT_EQ(*november.Manifest.Previous,
            (TManifestLine{*FileSha256(dir / "DR2610.LZH.sha256"), "DR2610.LZH.sha256"}));

  // A rebuild stopped right after its manifest: a whole one, no log gone yet.
  const auto late = MakeLogs(Folder(), "DR11", 3);
  StopAt(TRunStep::ManifestWritten);
  EXPECT_EXIT(Run("11"), testing::ExitedWithCode(9), "");
  SetRunStepWatcher(nullptr);
  const std::string stopped = testing_support::ReadFile(dir / "DR2611.LZH.sha256");
  november = ReadManifest(dir / "DR2611.LZH.sha256");
  EXPECT_TRUE(november.SealMatches);
  EXPECT_TRUE(november.Manifest.Deleted.empty());
  EXPECT_TRUE(fs::exists(dir / late[2]));
  EXPECT_EQ(november.Manifest.Members.size(), 3u);

  // The rebuild that ends: it keeps the replaced manifest's hash and time.
  r = Run("11");
  november = ReadManifest(dir / "DR2611.LZH.sha256");
  ASSERT_TRUE(november.Manifest.Replaces);
  EXPECT_EQ(*november.Manifest.Replaces, (TManifestLine{TextSha256(stopped), "DR2611.LZH.sha256"}));
  EXPECT_EQ(november.Manifest.ReplacesWritten, ParseManifest(stopped)->Manifest.Written);
  std::vector<std::string> listed;
  for (const auto& d : november.Manifest.Deleted) listed.push_back(d.Log);
  EXPECT_EQ(listed, r.Deletion.Deleted);
  EXPECT_EQ(listed.size(), 3u);
}

}  // namespace
