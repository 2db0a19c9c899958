// pelsok-cli list, test and extract on real archives: one the front packed,
// a foreign one under a name that hides its format, a damaged one, and the
// exit codes of each outcome.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/Corpus.h"

namespace {

class CliArchiveTest : public apptest::AppTest {
 protected:
  void SetUp() override {
    if (!platform::FileExists(platform::ExtractFilePath(PELSOK_CLI) + "UNLHA32.DLL"))
      GTEST_SKIP() << "UNLHA32.DLL is not built next to pelsok-cli yet";
  }
  testing_support::CommandResult Cli(const std::string& args) {
    return testing_support::RunCommand(std::string("'") + PELSOK_CLI + "' " + args);
  }
  // Packs three logs into DR2611.LZH with the front itself.
  std::string Packed() {
    logs = MakeLogs(Folder(), "DR11", 3, "a line of the log\n");
    const auto r = Cli("--folder '" + dir.Path() + "' --kind DR --year 26 --month 11");
    EXPECT_EQ(r.status, 0) << r.output;
    return dir / "DR2611.LZH";
  }
  std::vector<std::string> logs;
};

TEST_F(CliArchiveTest, ListShowsEveryEntry) {
  const std::string archive = Packed();
  const auto r = Cli("list '" + archive + "'");
  EXPECT_EQ(r.status, 0) << r.output;
  for (const auto& l : logs) EXPECT_NE(r.output.find(l), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("3 file(s)"), std::string::npos) << r.output;
}

TEST_F(CliArchiveTest, ExtractRestoresTheLogsByteForByteAndHonoursAMask) {
  const std::string archive = Packed();
  std::filesystem::create_directory(dir / "all");
  auto r = Cli("extract '" + archive + "' '" + (dir / "all") + "'");
  ASSERT_EQ(r.status, 0) << r.output;
  std::size_t found = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir / "all")) {
    if (!e.is_regular_file()) continue;
    ++found;
    const std::string name = e.path().filename().string();
    EXPECT_EQ(testing_support::ReadFile(e.path().string()), testing_support::ReadFile(dir / name));
  }
  EXPECT_EQ(found, 3u);

  std::filesystem::create_directory(dir / "one");
  r = Cli("extract '" + archive + "' '" + (dir / "one") + "' 'DR1102*'");
  ASSERT_EQ(r.status, 0) << r.output;
  found = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir / "one"))
    if (e.is_regular_file()) {
      ++found;
      EXPECT_EQ(e.path().filename(), "DR1102.log");
    }
  EXPECT_EQ(found, 1u);
}

TEST_F(CliArchiveTest, TheFormatIsToldByContentNotByName) {
  const std::string foreign = testing_support::CorpusDir("lzh") + "/lha255e/lh5.lzh";
  ASSERT_TRUE(platform::FileExists(foreign));
  std::filesystem::copy_file(foreign, dir / "backup.dat");
  auto r = Cli("list '" + (dir / "backup.dat") + "'");
  EXPECT_EQ(r.status, 0) << r.output;
  r = Cli("test '" + (dir / "backup.dat") + "'");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("OK"), std::string::npos) << r.output;
}

TEST_F(CliArchiveTest, FailuresHaveHonestExitCodes) {
  const std::string archive = Packed();
  // A damaged member: test fails with 2 and leaves no work folder behind.
  std::string bytes = testing_support::ReadFile(archive);
  bytes[bytes.size() / 2] ^= 0x5A;
  testing_support::WriteFile(dir / "bad.lzh", bytes);
  auto r = Cli("test '" + (dir / "bad.lzh") + "'");
  EXPECT_EQ(r.status, 2) << r.output;
  r = Cli("list '" + (dir / "missing.lzh") + "'");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.output.find("missing.lzh"), std::string::npos) << r.output;
  testing_support::WriteFile(dir / "plain.txt", "not an archive");
  r = Cli("list '" + (dir / "plain.txt") + "'");
  EXPECT_EQ(r.status, 3) << r.output;
  r = Cli("list");
  EXPECT_EQ(r.status, 3);
  r = Cli("extract '" + archive + "' '" + dir.Path() + "' 'nothing*'");
  EXPECT_EQ(r.status, 2) << r.output;
}

TEST_F(CliArchiveTest, DryRunPrintsWhatWouldHappenAndTouchesNothing) {
  const auto made = MakeLogs(Folder(), "DR11", 2);
  MakeLogs(Folder(), "DR10", 1);
  const std::string archive = dir.Write("DR2611.LZH", "the old archive");
  const auto r = Cli("--folder '" + dir.Path() + "' --year 26 --month 11 --delete --dry-run");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("mask " + Folder() + "DR11*.log\n"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("archive " + archive + "\n"), std::string::npos) << r.output;
  for (const auto& l : made) {
    EXPECT_NE(r.output.find("would-pack " + Folder() + l), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("would-delete " + Folder() + l), std::string::npos) << r.output;
    EXPECT_TRUE(platform::FileExists(dir / l));
  }
  EXPECT_EQ(r.output.find("DR1001.log"), std::string::npos) << r.output;
  EXPECT_EQ(testing_support::ReadFile(archive), "the old archive");
  // Nothing to pack: the dry run says so by its status.
  EXPECT_EQ(Cli("--folder '" + dir.Path() + "' --year 26 --month 9 --dry-run").status, 2);
}

TEST_F(CliArchiveTest, FormatLzhNamesTheArchiveAndOthersAreRefused) {
  MakeLogs(Folder(), "DR11", 1);
  auto r = Cli("--folder '" + dir.Path() + "' --year 26 --month 11 --format lzh");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(platform::FileExists(dir / "DR2611.LZH"));
  r = Cli("--folder '" + dir.Path() + "' --year 26 --month 11 --format arj");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.output.find("lzh"), std::string::npos) << r.output;
  r = Cli("--help");
  for (const char* s : {"--dry-run", "--format", "list ARCHIVE", "extract ARCHIVE"})
    EXPECT_NE(r.output.find(s), std::string::npos) << s;
}

}  // namespace
