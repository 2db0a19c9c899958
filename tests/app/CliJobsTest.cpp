// The monthly job as a timer runs it: pelsok-cli with a jobs file, catching
// up missed months, idle kinds, the after-run command, retention and the
// journal line, each through the real program in a fresh folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "app/run/Sha256.h"
#include "platform/DateTime.h"
#include "platform/FileSystem.h"
#include "platform/TextConvert.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/Command.h"
#include "tests/support/Files.h"

namespace {

using testing_support::ShellQuote;

class CliJobsTest : public apptest::AppTest {
 protected:
  void SetUp() override {
    if (!platform::FileExists(std::filesystem::path(PELSOK_CLI).parent_path() / "UNLHA32.DLL"))
      GTEST_SKIP() << "UNLHA32.DLL is not built next to pelsok-cli yet";
  }
  testing_support::CommandResult Cli(const std::string& args) {
    return testing_support::RunCommand(ShellQuote(PELSOK_CLI) + " " + args);
  }
  testing_support::CommandResult Jobs(const std::string& text, const std::string& more = "") {
    return Cli("--jobs " + ShellQuote(dir.Write("jobs.conf", text)) + " " + more);
  }
  // Names of the files in folder.
  std::set<std::string> Files(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
      names.insert(e.path().filename().string());
    return names;
  }
};

// The month n months before today's: two-digit year text and MM.
struct TMonth {
  std::string YY, MM;
};
TMonth MonthsAgo(int n) {
  int y = 0, m = 0, d = 0;
  platform::DecodeDate(platform::Now(), y, m, d);
  const int when = y * 12 + (m - 1) - n;
  const auto two = [](int v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
  return {two((when / 12) % 100), two(when % 12 + 1)};
}

TEST_F(CliJobsTest, TwoJobsInTwoFoldersAndTwoFormats) {
  const TMonth last = MonthsAgo(1);
  const std::string web = dir.Folder("web"), db = dir.Folder("db"), out = dir.Folder("out");
  MakeLogs(web + "/", "DR" + last.MM, 3);
  MakeLogs(db + "/", "DD" + last.MM, 2);
  const auto r =
      Jobs("; two jobs\n[web]\nfolder = " + web + "\nkinds = DR\n\n[db]\nfolder = " + db +
           "\nkinds = DD\nformat = zip\ndelete = yes\narchive-folder = " + out + "\n");
  ASSERT_EQ(r.status, 0) << r.output;
  const std::string lzh = web + "/DR" + last.YY + last.MM + ".LZH";
  const std::string zip = out + "/DD" + last.YY + last.MM + ".ZIP";
  EXPECT_TRUE(platform::FileExists(lzh)) << r.output;
  EXPECT_TRUE(platform::FileExists(zip)) << r.output;
  EXPECT_EQ(Files(db), std::set<std::string>{}) << "the second job deletes its logs";
  EXPECT_EQ(Files(web).size(), 5u) << "the first job keeps them, beside archive and manifest";
  // One journal line per run, the archive last.
  EXPECT_NE(r.output.find("run DR " + last.YY + last.MM + " logs 3 in "), std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find(" deleted 2 seconds "), std::string::npos) << r.output;
  EXPECT_NE(r.output.find(" archive " + zip + "\n"), std::string::npos) << r.output;
  SKIP_WITHOUT_TOOL("unzip");
  EXPECT_EQ(testing_support::Shell("unzip -tq " + ShellQuote(zip)), 0);
  SKIP_WITHOUT_TOOL("lhasa");
  EXPECT_EQ(testing_support::Shell("lhasa t " + ShellQuote(lzh)), 0);
}

// shift-jis-names = yes stores the names as cp932 for Windows users of the
// archive, as --shift-jis-names does; no keeps them UTF-8.
TEST_F(CliJobsTest, AJobStoresShiftJisNamesWhenItsKeySaysSo) {
  const TMonth last = MonthsAgo(1);
  const std::string logs = dir.Folder("logs");
  const std::string log = "DR" + last.MM + "04_障害.log";
  const std::string cp932 = platform::Utf8ToCp932(log).value();
  const std::string lzh = logs + "/DR" + last.YY + last.MM + ".LZH";
  for (const bool yes : {true, false}) {
    SCOPED_TRACE(yes ? "yes" : "no");
    testing_support::WriteFile(logs + "/" + log, "x\n");
    const auto r = Jobs("[j]\nfolder = " + logs +
                        "\nkinds = DR\nshift-jis-names = " + (yes ? "yes" : "no") + "\n");
    ASSERT_EQ(r.status, 0) << r.output;
    const std::string bytes = testing_support::ReadFile(lzh);
    EXPECT_EQ(bytes.find(cp932) != std::string::npos, yes);
    EXPECT_EQ(bytes.find(log) != std::string::npos, !yes);
    std::filesystem::remove(lzh);
  }
}

// Every class of error names the file, the line and the key, exits 3 and
// runs no job, not even a good one before it.
TEST_F(CliJobsTest, ABadJobsFileRunsNoJob) {
  const TMonth last = MonthsAgo(1);
  const std::string logs = dir.Folder("logs");
  MakeLogs(logs + "/", "DR" + last.MM, 1);
  const std::string good = "[good]\nfolder = " + logs + "\nkinds = DR\n";  // lines 1-3
  const struct {
    std::string text;
    const char* place;  // "jobs.conf:LINE: [job] key"
    const char* why;
  } rows[] = {
      {"colour = red\n", ":4: [good] colour", "不明なキー"},
      {"[b]\nkinds = DR\n", ":4: [b] folder", "folder がありません"},
      {"[b]\n", ":4: [b] folder", "folder がありません"},
      {"[b]\nfolder = " + logs + "\n", ":4: [b] kinds", "kinds がありません"},
      {"[b]\nfolder = logs\nkinds = DR\n", ":5: [b] folder", "絶対パス"},
      {"[b]\nfolder = " + logs + "/none\nkinds = DR\n", ":5: [b] folder", "がありません"},
      {"[b]\nfolder = " + logs + "\nkinds = DR,,DD\n", ":6: [b] kinds", "種類 ''"},
      {"[b]\nfolder = " + logs + "\nkinds = D*\n", ":6: [b] kinds", "種類 'D*'"},
      {"format = rar\n", ":4: [good] format", "'rar'"},
      {"delete = true\n", ":4: [good] delete", "yes か no"},
      {"six-digit = 1\n", ":4: [good] six-digit", "yes か no"},
      {"shift-jis-names = cp932\n", ":4: [good] shift-jis-names", "yes か no"},
      {"keep = -1\n", ":4: [good] keep", "0 以上の整数"},
      {"keep = 3x\n", ":4: [good] keep", "0 以上の整数"},
      {"after = rclone 'copy\n", ":4: [good] after", "閉じていません"},
      {"kinds = DD\n", ":4: [good] kinds", "二度"},
      {"[good]\nfolder = " + logs + "\n", ":4: [good]", "二つ"},
      {"this is no ini line\n", ":4: ", "INI の行"},
      {"after = " + std::string(300, 'x') + "\n", ":4: ", "行が長すぎます"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const auto r = Jobs(good + row.text);
    EXPECT_EQ(r.status, 3) << r.output;
    EXPECT_NE(r.output.find("jobs.conf" + std::string(row.place)), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(row.why), std::string::npos) << r.output;
    EXPECT_EQ(Files(logs).size(), 1u) << r.output;
  }
  // A key before any job, and a file that is not there.
  auto r = Jobs("folder = " + logs + "\n" + good);
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.output.find("jobs.conf:1: folder"), std::string::npos) << r.output;
  r = Cli("--jobs " + ShellQuote(dir / "none.conf"));
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.output.find("none.conf"), std::string::npos) << r.output;
  // The command line may add only what applies to every job.
  r = Cli("--jobs " + ShellQuote(dir / "jobs.conf") + " --kind DR");
  EXPECT_EQ(r.status, 3) << r.output;
  EXPECT_EQ(Files(logs).size(), 1u);
}

// A kind with no logs that month is a note; the series exits 0 when every
// kind that had logs packed, and a failing job does not stop the next.
TEST_F(CliJobsTest, IdleKindsAreNotesAndAFailedJobDoesNotStopTheNext) {
  MakeLogs(Folder(), "DD11", 2);
  auto r = Cli("--folder " + ShellQuote(dir.Path()) + " -y 26 -m 11 --kinds DD,TR,NA </dev/null");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("TR: 2611 のログはありません"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("NA: 2611 のログはありません"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("8001"), std::string::npos) << r.output;
  EXPECT_TRUE(platform::FileExists(dir / "DD2611.LZH"));
  EXPECT_FALSE(platform::FileExists(dir / "TR2611.LZH"));

  // The first job's archive name is taken by a folder: that job fails, the
  // second still packs, and the exit status is the worst of them.
  const TMonth last = MonthsAgo(1);
  const std::string a = dir.Folder("a"), b = dir.Folder("b");
  MakeLogs(a + "/", "DR" + last.MM, 1);
  MakeLogs(b + "/", "DR" + last.MM, 1);
  dir.Folder("a/DR" + last.YY + last.MM + ".LZH");
  r = Jobs("[a]\nfolder = " + a + "\nkinds = DR\n[b]\nfolder = " + b + "\nkinds = DR, GA\n");
  EXPECT_GE(r.status, 2) << r.output;
  EXPECT_TRUE(platform::FileExists(b + "/DR" + last.YY + last.MM + ".LZH")) << r.output;
  EXPECT_NE(r.output.find("GA: " + last.YY + last.MM + " のログはありません"), std::string::npos)
      << r.output;
}

// Three months missed, one archived already (its logs gone): each pending
// month gets its own archive, oldest first; this month's logs stay.
TEST_F(CliJobsTest, CatchUpPacksEveryCompleteMonthStillInTheFolder) {
  const TMonth now = MonthsAgo(0), m1 = MonthsAgo(1), m2 = MonthsAgo(2), m3 = MonthsAgo(3),
               m4 = MonthsAgo(4);
  for (const TMonth& m : {m1, m2, m4}) MakeLogs(Folder(), "DR" + m.MM, 2);
  MakeLogs(Folder(), "DR" + now.MM, 1);
  const std::string done = dir.Write("DR" + m3.YY + m3.MM + ".LZH", "archived before");
  const auto r = Cli("--folder " + ShellQuote(dir.Path()) + " --kind DR --catch-up --delete");
  ASSERT_EQ(r.status, 0) << r.output;
  std::vector<std::size_t> at;
  for (const TMonth& m : {m4, m2, m1}) {
    const std::string name = dir / ("DR" + m.YY + m.MM + ".LZH");
    EXPECT_TRUE(platform::FileExists(name)) << name << "\n" << r.output;
    at.push_back(r.output.find("archive " + name + " result 0000"));
    EXPECT_NE(at.back(), std::string::npos) << r.output;
  }
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << "oldest first\n" << r.output;
  // Each month links to the one before that has a manifest (the archive
  // that does not read is skipped).
  const auto manifest = [&](const TMonth& m) { return dir / ("DR" + m.YY + m.MM + ".LZH.sha256"); };
  for (const auto& [month, before] : {std::pair{m2, m4}, std::pair{m1, m2}}) {
    const std::string text = testing_support::ReadFile(manifest(month));
    EXPECT_NE(text.find("# previous\n" +
                        pelsok::app::TextSha256(testing_support::ReadFile(manifest(before))) +
                        "  " + std::filesystem::path(manifest(before)).filename().string() + "\n"),
              std::string::npos)
        << text;
  }
  EXPECT_EQ(testing_support::ReadFile(done), "archived before");
  EXPECT_FALSE(platform::FileExists(dir / ("DR" + now.YY + now.MM + ".LZH")));
  EXPECT_TRUE(platform::FileExists(dir / ("DR" + now.MM + "01.log")));
  EXPECT_FALSE(platform::FileExists(dir / ("DR" + m1.MM + "01.log")));
  // Nothing is pending any more: a second run packs nothing and is content.
  const auto again = Cli("--folder " + ShellQuote(dir.Path()) + " --kinds DR --catch-up");
  EXPECT_EQ(again.status, 0) << again.output;
  EXPECT_EQ(again.output.find("archive "), std::string::npos) << again.output;
}

TEST_F(CliJobsTest, AfterRunCommandGetsThePathWithoutAShell) {
  const std::string logs = dir.Folder("log folder with spaces");
  MakeLogs(logs + "/", "DR11", 1);
  const std::string record = dir / "got.txt";
  // sh is the command here, not our runner: $1 reaches it untouched.
  const std::string after = "sh -c 'printf %s \"$1\" >> " + record + "; exit 0' sh";
  auto r = Cli("--folder " + ShellQuote(logs) + " -y 26 -m 11 --after " + ShellQuote(after));
  EXPECT_EQ(r.status, 0) << r.output;
  const std::string archive = logs + "/DR2611.LZH";
  EXPECT_EQ(testing_support::ReadFile(record), archive);
  EXPECT_NE(r.output.find("after " + archive + " exit 0"), std::string::npos) << r.output;

  // A failing command, and one that cannot start: the run is a warning.
  const struct {
    std::string command;
    const char* told;
  } rows[] = {{"sh -c 'exit 7'", "exit 7"}, {"/nonexistent/uploader", "を起動できません"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.command);
    r = Cli("--folder " + ShellQuote(logs) + " -y 26 -m 11 --after " + ShellQuote(row.command));
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find(row.told), std::string::npos) << r.output;
    EXPECT_TRUE(platform::FileExists(archive));
  }
}

// keep = N keeps the newest N month archives of the kind and this format,
// and nothing else is touched; nothing goes when the newest fails its test.
TEST_F(CliJobsTest, RetentionKeepsTheNewestAndNeverALookAlike) {
  for (int m = 1; m <= 4; ++m) {
    MakeLogs(Folder(), "DR0" + std::to_string(m), 1);
    ASSERT_EQ(Cli("--folder " + ShellQuote(dir.Path()) + " -y 26 -m " + std::to_string(m)).status,
              0);
  }
  const std::set<std::string> lookAlikes = {"DR2601.LZH.bak", "DR2601-copy.LZH", "DD2601.LZH",
                                            "dr2601.LZH",     "DR2601.lzh",      "DR2613.LZH",
                                            "DR261.LZH"};
  for (const auto& name : lookAlikes) dir.Write(name, "not ours to remove");
  const std::string job = "--folder " + ShellQuote(dir.Path()) + " -y 26 -m 4 --keep 2";

  auto r = Cli(job + " --dry-run");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("would-remove " + (dir / "DR2601.LZH")), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("would-remove " + (dir / "DR2602.LZH")), std::string::npos) << r.output;
  EXPECT_TRUE(platform::FileExists(dir / "DR2601.LZH"));

  // The newest archive is damaged: nothing is removed.
  const std::string newest = dir.Write("DR2605.LZH", "damaged");
  r = Cli(job);
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_NE(r.output.find("DR2605.LZH"), std::string::npos) << r.output;
  EXPECT_TRUE(platform::FileExists(dir / "DR2601.LZH"));
  std::filesystem::remove(newest);

  r = Cli(job);
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("removed " + (dir / "DR2601.LZH")), std::string::npos) << r.output;
  std::set<std::string> archives;
  for (const auto& name : Files(dir.Path()))
    if (!name.ends_with(".log") && !name.starts_with("hive.reg")) archives.insert(name);
  std::set<std::string> expected = lookAlikes;
  // The removed archives' manifests stay: the chain still checks.
  expected.insert({"DR2603.LZH", "DR2604.LZH", "DR2601.LZH.sha256", "DR2602.LZH.sha256",
                   "DR2603.LZH.sha256", "DR2604.LZH.sha256"});
  EXPECT_EQ(archives, expected) << r.output;
}

// A rerun after late logs, the month's first logs deleted by the first run:
// one archive holds every log of the month, a later version of a log
// replaces its member, and the folder is left as it was.
TEST_F(CliJobsTest, ARerunKeepsTheMonthInOneArchive) {
  for (const char* format : {"lzh", "zip", "tgz"}) {
    SCOPED_TRACE(format);
    const std::string folder = dir.Folder(format);
    const std::string run = "--folder " + ShellQuote(folder) + " -y 26 -m 11 --format " + format;
    MakeLogs(folder + "/", "DR11", 3, "first\n");
    auto r = Cli(run + " --delete");
    ASSERT_EQ(r.status, 0) << r.output;
    const std::string archive = (Files(folder).begin())->c_str();
    ASSERT_EQ(Files(folder), (std::set<std::string>{archive, archive + ".sha256"})) << r.output;
    // Late logs: a new day, a newer DR1102, and an older copy of DR1103.
    testing_support::WriteFile(folder + "/DR1104.log", "late\n");
    testing_support::WriteFile(folder + "/DR1102.log", "second\n");
    testing_support::WriteFile(folder + "/DR1103.log", "stale\n");
    ASSERT_EQ(
        testing_support::Shell("touch -d '2000-01-01' " + ShellQuote(folder + "/DR1103.log") +
                               " && touch -d '+1 hour' " + ShellQuote(folder + "/DR1102.log")),
        0);
    r = Cli(run);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(Files(folder), (std::set<std::string>{archive, archive + ".sha256", "DR1102.log",
                                                    "DR1103.log", "DR1104.log"}))
        << "no archive kept aside, no member left behind\n"
        << r.output;
    EXPECT_EQ(testing_support::ReadFile(folder + "/DR1103.log"), "stale\n");
    const std::string out = dir.Folder(std::string("out-") + format);
    ASSERT_EQ(
        Cli("extract " + ShellQuote(folder + "/" + archive) + " " + ShellQuote(out + "/")).status,
        0);
    std::map<std::string, std::string> got;
    for (const auto& e : std::filesystem::recursive_directory_iterator(out))
      if (e.is_regular_file())
        got[e.path().filename().string()] = testing_support::ReadFile(e.path());
    EXPECT_EQ(got, (std::map<std::string, std::string>{{"DR1101.log", "first\nDR1101.log\n"},
                                                       {"DR1102.log", "second\n"},
                                                       {"DR1103.log", "first\nDR1103.log\n"},
                                                       {"DR1104.log", "late\n"}}));
  }
}

}  // namespace
