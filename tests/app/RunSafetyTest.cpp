// A month's logs are never lost: a second run for the same archive is
// refused while the first holds it, and no log goes unless the archive
// tests clean and the log still is what was packed.
#include <fstream>

#include "app/run/CompressRun.h"
#include "backends/ProgressHook.h"
#include "tests/app/RunSafetyFixture.h"
#include "tests/support/Files.h"

namespace {

namespace fs = std::filesystem;
using namespace pelsok::app;
using apptest::RunSafetyTest;

TEST_F(RunSafetyTest, ASecondRunIsRefusedWhileTheFirstHoldsTheArchive) {
  const auto logs = MakeLogs(Folder(), "DR11", 30);
  TRunState state;
  TCompressRun run(state);
  testing_support::CommandResult second;
  // The first run waits at its confirmation while the second one starts.
  const TRunResult first = run.Run({Folder(), "DR", "26", "11", false, true}, [&] {
    second = Cli();
    return true;
  });
  EXPECT_EQ(second.status, 3) << second.output;
  EXPECT_NE(second.output.find("別の実行が作成中です"), std::string::npos) << second.output;
  EXPECT_EQ(first.Deletion.Deleted.size(), logs.size());
  EXPECT_EQ(ArchivedAndTested().size(), logs.size());
  EXPECT_FALSE(fs::exists(dir / "DR11.lock"));
}

// Overwrites bytes of a file in place, keeping its size.
void Scribble(const std::string& path, std::size_t at, const std::string& bytes) {
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp(static_cast<std::streamoff>(at));
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST_F(RunSafetyTest, ALogRewrittenInPlaceWhileConfirmingIsKept) {
  const auto logs = MakeLogs(Folder(), "DR11", 3, std::string(4000, 'a'));
  TRunState state;
  TCompressRun run(state);
  const TRunResult r = run.Run({Folder(), "DR", "26", "11", false, true}, [&] {
    Scribble(dir / logs[1], 100, "rewritten");  // same size, new content
    return true;
  });
  EXPECT_EQ(r.Deletion.Deleted.size(), 2u);
  ASSERT_EQ(r.Deletion.Kept.size(), 1u);
  EXPECT_NE(r.Deletion.Kept[0].find("書庫の中と内容が違います"), std::string::npos);
  EXPECT_NE(testing_support::ReadFile(dir / logs[1]).find("rewritten"), std::string::npos);
}

TEST_F(RunSafetyTest, AnArchiveThatFailsItsTestDeletesNothing) {
  const auto logs = MakeLogs(Folder(), "DR11", 3, std::string(40000, 'b'));
  TRunState state;
  TCompressRun run(state);
  const TRunResult r = run.Run({Folder(), "DR", "26", "11", false, true}, [&] {
    // Damage the packed data of the first member (past its header).
    Scribble(dir / "DR2611.LZH", 60, std::string(8, '\xA5'));
    return true;
  });
  EXPECT_TRUE(r.Deletion.Deleted.empty());
  EXPECT_EQ(r.Deletion.Kept.size(), logs.size());
  EXPECT_EQ(r.Grade, TRunGrade::Failed);
  for (const auto& l : logs) EXPECT_TRUE(fs::exists(dir / l)) << l;
}

// Formats whose listing keeps no checksum of the logs have each member read
// back before any log goes: a damaged archive or a log that changed keeps
// its logs, and no check folder stays, not even one a dead run left.
TEST_F(RunSafetyTest, ArchivesCheckedByExtractionKeepWhatDoesNotComeBack) {
  struct Row {
    const char* format;
    const char* archive;
    std::size_t damageAt;  // 0: rewrite the second log in place instead
    std::size_t kept;
  };
  const Row rows[] = {
      {"tar", "DR2611.TAR", 20000, 1},  // no checksum: the comparison finds it
      {"zip", "DR2611.ZIP", 20000, 3},  // the library's own check fails the extraction
      {"tgz", "DR2611.TGZ", 0, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.format);
    std::string noise(40000, '\0');
    std::uint32_t x = 2026;
    for (char& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
    const auto logs = MakeLogs(Folder(), "DR11", 3, noise);
    const std::string stale = (dir / ".") + std::string(row.archive) + ".check-1-2";
    fs::create_directories(stale + "/sub");
    TRunInput in{Folder(), "DR", "26", "11", false, true, *FindArchiveFormat(row.format)};
    TRunState state;
    const TRunResult r = TCompressRun(state).Run(in, [&] {
      if (row.damageAt)
        Scribble(dir / row.archive, row.damageAt, std::string(8, '\xA5'));
      else
        Scribble(dir / logs[1], 100, "rewritten");
      return true;
    });
    EXPECT_EQ(r.Deletion.Kept.size(), row.kept);
    EXPECT_EQ(r.Deletion.Deleted.size(), logs.size() - row.kept);
    EXPECT_NE(r.Grade, TRunGrade::Ok);
    for (const auto& e : fs::directory_iterator(dir.Path()))
      EXPECT_EQ(e.path().filename().string().find(".check-"), std::string::npos) << e.path();
    for (const auto& e : fs::directory_iterator(dir.Path())) fs::remove_all(e.path());
  }
}

// Cancel while the new archive is being checked: the archive stays, no log
// goes and the run says so.
TEST_F(RunSafetyTest, CancelDuringTheCheckKeepsEveryLog) {
  for (const char* format : {"lzh", "tgz"}) {
    SCOPED_TRACE(format);
    const auto logs = MakeLogs(Folder(), "DR11", 3, std::string(300000, 'c'));
    bool confirmed = false;
    const pelsok::TProgressScope scope([&](const ArcProgress&) { return !confirmed; });
    TRunInput in{Folder(), "DR", "26", "11", false, true, *FindArchiveFormat(format)};
    TRunState state;
    const TRunResult r = TCompressRun(state).Run(in, [&] { return confirmed = true; });
    EXPECT_TRUE(r.NewArchiveKept);
    EXPECT_TRUE(r.DeletionCancelled);
    EXPECT_TRUE(r.Deletion.Deleted.empty());
    EXPECT_EQ(r.Grade, TRunGrade::Warning);
    for (const auto& l : logs) EXPECT_TRUE(fs::exists(dir / l)) << l;
    for (const auto& e : fs::directory_iterator(dir.Path()))
      EXPECT_EQ(e.path().filename().string().find(".check-"), std::string::npos) << e.path();
    for (const auto& e : fs::directory_iterator(dir.Path())) fs::remove_all(e.path());
  }
}

}  // namespace
