// The command-line front as cron runs it: output, deletion only on request,
// defaults from the stored settings, and its exit codes.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/cli/CliJob.h"
#include "app/settings/DataSave.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/Command.h"

namespace {

class CliTest : public apptest::AppTest {
 protected:
  testing_support::CommandResult Cli(const std::string& args, const char* exe = PELSOK_CLI) {
    return testing_support::RunCommand(std::string("'") + exe + "' " + args);
  }
  void RequireLibrary() {
    if (!platform::FileExists(platform::ExtractFilePath(PELSOK_CLI) + "UNLHA32.DLL"))
      GTEST_SKIP() << "UNLHA32.DLL is not built next to pelsok-cli yet";
  }
};

TEST_F(CliTest, HelpDocumentsTheOptionsAndExitCodes) {
  const auto r = Cli("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* s : {"--kind", "--continuous", "--year", "--month", "--folder", "--six-digit",
                        "--delete", "Exit status"})
    EXPECT_NE(r.output.find(s), std::string::npos) << s;
}

TEST_F(CliTest, UsageErrorsExitThree) {
  auto r = Cli("--bogus");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.output.find("--bogus"), std::string::npos);
  r = Cli("--month");
  EXPECT_EQ(r.status, 3);
  r = Cli("--kind DR --continuous");
  EXPECT_EQ(r.status, 3);
}

TEST_F(CliTest, MonthNotAnIntegerExitsThreeWithTheMessage) {
  const auto r = Cli("--folder '" + dir.Path() + "' --month x");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.output.find("'x' は整数ではありません"), std::string::npos) << r.output;
}

// The year and month are checked before anything runs, worded as the window
// words them; the month is read as a number.
TEST_F(CliTest, ABadYearOrMonthExitsThreeBeforeAnythingRuns) {
  const struct {
    const char* args;
    const char* why;
    const char* whatToDo;
  } rows[] = {
      {"-y 26 -m 13", "月 '13' は 1 から 12 の数ではありません。",
       "月を 1 から 12 で指定してください。"},
      {"-y 26 -m 0", "月 '0' は 1 から 12 の数ではありません。",
       "月を 1 から 12 で指定してください。"},
      {"-y 26 -m ''", "'' は整数ではありません", nullptr},
      {"-y abc -m 11", "年 'abc' は数字ではありません。", "年を数字で指定してください (例: 26)。"},
      {"-y '' -m 11", "年 '' は数字ではありません。", "年を数字で指定してください (例: 26)。"},
  };
  MakeLogs(Folder(), "DR11", 1);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args);
    const auto r = Cli("--folder '" + dir.Path() + "' " + row.args);
    EXPECT_EQ(r.status, 3) << r.output;
    EXPECT_NE(r.output.find(std::string("pelsok-cli: ") + row.why), std::string::npos) << r.output;
    if (row.whatToDo != nullptr) {
      EXPECT_NE(r.output.find(std::string("pelsok-cli: ") + row.whatToDo), std::string::npos)
          << r.output;
    }
    EXPECT_EQ(r.output.find("archive "), std::string::npos) << r.output;
  }
}

TEST_F(CliTest, AMonthWithALeadingZeroIsReadAsANumber) {
  RequireLibrary();
  MakeLogs(Folder(), "DR09", 2);
  const auto r = Cli("--folder '" + dir.Path() + "' -y 26 -m 09");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("archive " + (dir / "DR2609.LZH") + " result 0000"), std::string::npos)
      << r.output;
  EXPECT_TRUE(platform::FileExists(dir / "DR2609.LZH"));
}

TEST_F(CliTest, NoFolderStoredOrGivenIsAnError) {
  const auto r = Cli("--month 11");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.output.find("--folder"), std::string::npos) << r.output;
}

TEST_F(CliTest, MissingLibraryExitsThreeAndKeepsTheOldArchive) {
  const std::string archive = dir.Write("DR2611.LZH", "the only copy");
  MakeLogs(Folder(), "DR11", 1);
  const auto r =
      Cli("--folder '" + dir.Path() + "' --year 26 --month 11 --delete", PELSOK_NOLIB_CLI);
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.output.find("UNLHA32.DLL"), std::string::npos) << r.output;
  EXPECT_EQ(testing_support::ReadFile(archive), "the only copy");
  EXPECT_TRUE(platform::FileExists(dir / "DR1101.log"));
}

TEST_F(CliTest, PacksPrintsAndDeletesOnlyWithDelete) {
  RequireLibrary();
  const auto logs = MakeLogs(Folder(), "DR11", 2);
  auto r = Cli("--folder '" + dir.Path() + "' --year 26 --month 11");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("result 0000"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("packed "), std::string::npos);
  EXPECT_EQ(r.output.find("\ndeleted "), std::string::npos);
  for (const auto& l : logs) EXPECT_TRUE(platform::FileExists(dir / l));

  r = Cli("--folder '" + dir.Path() + "/' --year 26 --month 11 --delete");
  EXPECT_EQ(r.status, 0) << r.output;
  for (const auto& l : logs) {
    EXPECT_FALSE(platform::FileExists(dir / l));
    EXPECT_NE(r.output.find("deleted " + (dir / l)), std::string::npos) << r.output;
  }
  SKIP_WITHOUT_TOOL("lhasa");
  const auto listed = testing_support::RunCommand("lhasa l '" + (dir / "DR2611.LZH") + "'");
  EXPECT_EQ(listed.status, 0);
  for (const auto& l : logs) EXPECT_NE(listed.output.find(l), std::string::npos) << listed.output;
}

TEST_F(CliTest, NothingMatchedExitsTwoAndAContinuousRunGoesOn) {
  RequireLibrary();
  MakeLogs(Folder(), "DD11", 1);
  auto r = Cli("--folder '" + dir.Path() + "' --year 26 --month 11 --kind DR");
  EXPECT_EQ(r.status, 2) << r.output;
  // Worded as the window words it, with what to do.
  EXPECT_NE(r.output.find("pelsok-cli: DR11*.log に当たるファイルがありません。"),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("pelsok-cli: 種類・年・月とフォルダを確かめてください。"),
            std::string::npos)
      << r.output;
  // In a series an idle kind is a note, not a failed run.
  r = Cli("--folder '" + dir.Path() + "' --year 26 --month 11 --kinds DR,DD");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("DR: 2611 のログはありません"), std::string::npos) << r.output;
  EXPECT_TRUE(platform::FileExists(dir / "DD2611.LZH"));
  EXPECT_FALSE(platform::FileExists(dir / "DR2611.LZH"));
}

TEST_F(CliTest, DefaultsComeFromTheStoredSettingsAndThePreviousMonth) {
  RequireLibrary();
  pelsok::app::TDataSave::SaveSettings({Folder(), "Yes", {"AA", "BB"}});
  // 6-digit mode from the settings: kind + YY + MM + DD in the current folder.
  MakeLogs(Folder(), "AA2611", 1);
  MakeLogs(Folder(), "BB2611", 1);
  const auto r = Cli("--continuous --year 26 --month 11");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(platform::FileExists(dir / "AA2611.LZH"));
  EXPECT_TRUE(platform::FileExists(dir / "BB2611.LZH"));
}

TEST_F(CliTest, ABrokenHiveStopsNothingTheCommandLineGivesInFull) {
  RequireLibrary();
  dir.Write("hive.reg", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\"Keta\"=garbage\n");
  MakeLogs(Folder(), "DR11", 2);
  const auto r = Cli("--folder '" + dir.Path() + "' --kind DR --year 26 --month 11 --no-six-digit");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("hive.reg"), std::string::npos) << r.output;  // still reported
  EXPECT_TRUE(platform::FileExists(dir / "DR2611.LZH"));
}

TEST_F(CliTest, ALogFolderWithADoubleQuoteInItsNamePacks) {
  RequireLibrary();
  const std::string folder = dir / "a\"b";
  std::filesystem::create_directory(folder);
  MakeLogs(folder + "/", "DR11", 2);
  const auto r =
      Cli("--folder " + testing_support::ShellQuote(folder) + " --year 26 --month 11 --delete");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(platform::FileExists(folder + "/DR2611.LZH"));
  // The check reads the members through the same quoting, so the logs go
  // and the manifest is written.
  EXPECT_TRUE(platform::FileExists(folder + "/DR2611.LZH.sha256"));
  EXPECT_FALSE(platform::FileExists(folder + "/DR1101.log"));
}

// "." or an empty entry in LD_LIBRARY_PATH means the current folder: a
// platform library planted there (here an archiver library under its name,
// which lacks the platform's entries) must not be the one the program runs on.
TEST_F(CliTest, APlatformLibraryPlantedInTheCurrentFolderIsNotLoaded) {
  RequireLibrary();
  std::filesystem::copy_file(platform::ExtractFilePath(PELSOK_CLI) + "UNLHA32.DLL",
                             dir / "libpelsok_platform.so");
  for (const char* path : {".", "", ".:/usr/lib", ":/usr/lib"}) {
    SCOPED_TRACE(std::string("LD_LIBRARY_PATH=") + path);
    const auto r = testing_support::RunCommand(
        "LD_LIBRARY_PATH='" + std::string(path) + "' '" + PELSOK_CLI + "' --version", dir.Path());
    EXPECT_EQ(r.status, 0) << r.output;
  }
}

TEST(CliOptions, ParsesEveryOption) {
  const auto o = pelsok::app::ParseCliOptions(
      {"--kinds=DR,DD", "-y", "98", "--month=7", "-f", "/x", "-6", "-d"});
  ASSERT_TRUE(o.Kinds.has_value());
  EXPECT_EQ(*o.Kinds, (std::vector<std::string>{"DR", "DD"}));
  EXPECT_TRUE(o.Continuous);
  EXPECT_EQ(o.Year.value_or(""), "98");
  EXPECT_EQ(o.Month.value_or(""), "7");
  EXPECT_EQ(o.Folder.value_or(""), "/x");
  EXPECT_EQ(o.SixDigit, std::optional<bool>(true));
  EXPECT_TRUE(o.Delete);
  EXPECT_THROW(pelsok::app::ParseCliOptions({"--delete=yes"}), std::exception);
}

}  // namespace
