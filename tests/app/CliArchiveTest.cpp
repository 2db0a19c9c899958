// pelsok-cli list, test and extract on real archives: one the front packed,
// a foreign one under a name that hides its format, a damaged one, and the
// exit codes of each outcome.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/Corpus.h"
#include "tests/support/Tools.h"

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

  // A folder named with a trailing delimiter is made.
  r = Cli("extract '" + archive + "' '" + (dir / "one") + "/' 'DR1102*'");
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
  for (const char* foreign : {"lzh/lha255e/lh5.lzh", "arj/sample.arj", "rar/Rar.rar"}) {
    SCOPED_TRACE(foreign);
    const std::string path = testing_support::CorpusDir("") + "/" + foreign;
    ASSERT_TRUE(platform::FileExists(path));
    std::filesystem::copy_file(path, dir / "backup.dat",
                               std::filesystem::copy_options::overwrite_existing);
    auto r = Cli("list '" + (dir / "backup.dat") + "'");
    EXPECT_EQ(r.status, 0) << r.output;
    r = Cli("test '" + (dir / "backup.dat") + "'");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("OK"), std::string::npos) << r.output;
  }
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

// Every format that can be written: the archive takes its extension, an
// independent reader accepts it, and --delete removes every log only after
// the archive gave it back, leaving no check folder behind.
TEST_F(CliArchiveTest, EveryWritableFormatPacksChecksAndDeletes) {
  struct Row {
    const char* format;
    const char* archive;
    const char* tool;
    const char* check;  // a command that reads the archive whole
  };
  const Row rows[] = {
      {"lzh", "DR2611.LZH", "lhasa", "lhasa t"},
      {"zip", "DR2611.ZIP", "unzip", "unzip -t"},
      {"tgz", "DR2611.TGZ", "bsdtar", "bsdtar -tvzf"},
      {"tbz", "DR2611.TBZ", "bsdtar", "bsdtar -tvjf"},
      {"tar", "DR2611.TAR", "bsdtar", "bsdtar -tvf"},
      {"cab", "DR2611.CAB", "cabextract", "cabextract -t"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.format);
    SKIP_WITHOUT_TOOL(row.tool);
    const auto made = MakeLogs(Folder(), "DR11", 3, std::string(3000, 'q') + row.format);
    auto r =
        Cli("--folder '" + dir.Path() + "' --year 26 --month 11 --delete --format " + row.format);
    EXPECT_EQ(r.status, 0) << r.output;
    const std::string archive = dir / row.archive;
    const auto read = testing_support::RunCommand(std::string(row.check) + " '" + archive + "'");
    EXPECT_EQ(read.status, 0) << read.output;
    for (const auto& l : made) {
      EXPECT_NE(read.output.find(l), std::string::npos) << l << "\n" << read.output;
      EXPECT_FALSE(platform::FileExists(dir / l)) << l;
    }
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
      EXPECT_EQ(e.path().filename().string().find(".check-"), std::string::npos) << e.path();
    // test reads it whole, and fails on a damaged copy (TAR keeps no checksum).
    r = Cli(std::string("test '") + archive + "'");
    EXPECT_EQ(r.status, 0) << r.output;
    if (std::string(row.format) != "tar") {
      std::string bytes = testing_support::ReadFile(archive);
      bytes[bytes.size() / 2] ^= 0x5A;
      testing_support::WriteFile(archive, bytes);
      r = Cli(std::string("test '") + archive + "'");
      EXPECT_EQ(r.status, 2) << r.output;
    }
    std::filesystem::remove(archive);
  }
  const auto r = Cli("--folder '" + dir.Path() + "' --year 26 --month 11 --format arj");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.output.find("zip, tgz, tbz, tar, cab"), std::string::npos) << r.output;
}

}  // namespace
