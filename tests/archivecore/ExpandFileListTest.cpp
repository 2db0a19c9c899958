// ExpandFileList on real folders: attribute filters, recursion, date bounds,
// ordering, link loops and unreadable folders.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "archivecore/ArchiverOptions.h"
#include "archivecore/FileList.h"
#include "archivecore/NoValue.h"
#include "platform/Exceptions.h"
#include "platform/StringList.h"
#include "tests/support/FileTimes.h"
#include "tests/support/ScopedCwd.h"
#include "tests/support/TempDir.h"

namespace {

using pelsok::ExpandFileList;
using pelsok::TArchiverOptions;
using testing_support::ScopedCwd;
using testing_support::TempDir;
using testing_support::UtcTime;
using Lines = std::vector<std::string>;

platform::TStringList MakeList(const Lines& lines) {
  platform::TStringList list;
  for (const auto& line : lines) list.Add(line);
  return list;
}

Lines Expand(TArchiverOptions& o, const Lines& items) {
  platform::TStringList list = MakeList(items);
  ExpandFileList(o, list);
  return list.Lines();
}

Lines Expand(const Lines& items) {
  TArchiverOptions o;
  return Expand(o, items);
}

class ExpandFileListTest : public ::testing::Test {
 protected:
  TempDir tree;
  std::string P(const std::string& relative) const { return tree / relative; }
  // A file holding its own relative name, last written at the given Unix
  // time (seconds and nanoseconds, UTC).
  void File(const std::string& relative, std::int64_t seconds = 946728000, long nanoseconds = 0) {
    testing_support::SetWriteTime(tree.Write(relative, relative), seconds, nanoseconds);
  }
  Lines Ps(const Lines& relatives) const {
    Lines out;
    for (const auto& r : relatives) out.push_back(P(r));
    return out;
  }
};

// Local time is Japan's here, nine hours ahead of UTC, so that a bound read
// in UTC would give different answers.
class ExpandFileListDates : public ExpandFileListTest {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    savedTz_ = tz ? tz : "";
    hadTz_ = tz != nullptr;
    setenv("TZ", "JST-9", 1);
    tzset();
  }
  void TearDown() override {
    if (hadTz_)
      setenv("TZ", savedTz_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  std::string savedTz_;
  bool hadTz_ = false;
};

TEST_F(ExpandFileListDates, LowerBoundInclusiveUpperBoundExclusiveInLocalTime) {
  // Local midnight of 1 December 1998 is 15:00 UTC on 30 November.
  File("logs/before.log", UtcTime(1998, 11, 30, 14, 59, 59));
  File("logs/first.log", UtcTime(1998, 11, 30, 15, 0, 0));
  File("logs/mid.log", UtcTime(1998, 12, 15));
  File("logs/last.log", UtcTime(1998, 12, 31, 14, 59, 59), 999000000);
  File("logs/upper.log", UtcTime(1998, 12, 31, 15, 0, 0));
  TArchiverOptions o;
  o.jo = "981201";
  o.job = "990101";
  EXPECT_EQ(Expand(o, {P("logs/*.log")}), Ps({"logs/first.log", "logs/last.log", "logs/mid.log"}));
}

TEST_F(ExpandFileListDates, TwelveDigitStampsCountSecondsAndFractions) {
  File("logs/a.log", UtcTime(2005, 6, 1, 3, 0, 0));               // 12:00:00.0 local
  File("logs/b.log", UtcTime(2005, 6, 1, 3, 0, 0), 500000000);    // 12:00:00.5
  File("logs/c.log", UtcTime(2005, 6, 1, 3, 0, 1));               // 12:00:01.0
  File("logs/d.log", UtcTime(2005, 6, 1, 2, 59, 59), 999000000);  // 11:59:59.999
  TArchiverOptions o;
  o.jo = "050601120000";
  o.job = "050601120001";
  EXPECT_EQ(Expand(o, {P("logs/*.log")}), Ps({"logs/a.log", "logs/b.log"}));
}

TEST_F(ExpandFileListDates, OnlyOneBoundOrNone) {
  File("old.log", UtcTime(1979, 12, 31, 12));
  File("new.log", UtcTime(2079, 1, 1, 12));
  TArchiverOptions lower;
  lower.jo = "800101";  // 1980, not 2080
  EXPECT_EQ(Expand(lower, {P("*.log")}), Ps({"new.log"}));
  TArchiverOptions upper;
  upper.job = "790101";  // 2079, not 1979
  EXPECT_EQ(Expand(upper, {P("*.log")}), Ps({"old.log"}));
  for (const std::string& stamp : {std::string("9812"), std::string(), pelsok::NoValue}) {
    TArchiverOptions none;
    none.jo = stamp;
    none.job = stamp;
    EXPECT_EQ(Expand(none, {P("*.log")}), Ps({"new.log", "old.log"}));
  }
}

TEST_F(ExpandFileListDates, LinksAreJudgedByTheTimeOfWhatTheyPointTo) {
  File("archive/in.log", UtcTime(1998, 12, 10));
  File("archive/out.log", UtcTime(1997, 12, 10));
  tree.Link("logs/in-link.log", "../archive/in.log");
  tree.Link("logs/out-link.log", "../archive/out.log");
  tree.Link("logs/folder", "../archive");
  TArchiverOptions o;
  o.r = 1;
  o.jo = "981201";
  o.job = "990101";
  EXPECT_EQ(Expand(o, {P("logs/*.log")}), Ps({"logs/folder/in.log", "logs/in-link.log"}));
}

TEST_F(ExpandFileListDates, MalformedStampFailsBeforeAnySearchAndChangesNothing) {
  File("a.log");
  for (const auto& [jo, job, message] :
       std::vector<std::tuple<std::string, std::string, std::string>>{
           {"98AB01", pelsok::NoValue, "'AB' は整数ではありません"},
           {"981201", "990230", ""},
           {pelsok::NoValue, "9901011200zz", "'zz' は整数ではありません"}}) {
    TArchiverOptions o;
    o.r = 2;
    o.p = 0;
    o.jo = jo;
    o.job = job;
    platform::TStringList list = MakeList({P("*.log"), "second item"});
    try {
      ExpandFileList(o, list);
      ADD_FAILURE() << "no conversion error for " << jo << " / " << job;
    } catch (const platform::EConvertError& e) {
      if (!message.empty()) {
        EXPECT_EQ(e.Message(), message);
      }
    }
    EXPECT_EQ(list.Lines(), (Lines{P("*.log"), "second item"}));
    EXPECT_EQ(o.r, 2);
    EXPECT_EQ(o.p, 0);
    EXPECT_EQ(o.jo, jo);
    EXPECT_EQ(o.job, job);
  }
}

TEST_F(ExpandFileListTest, RecursionSearchesEveryFolderBelowForTheMask) {
  File("logs/a.log");
  File("logs/a.txt");
  File("logs/sub/b.log");
  File("logs/sub/deeper/c.log");
  File("logs/.cache/d.log");  // hidden folders are always entered
  tree.Folder("logs/empty");
  File("other/e.log");
  TArchiverOptions o;
  o.r = 1;
  EXPECT_EQ(Expand(o, {P("logs/*.log")}),
            Ps({"logs/.cache/d.log", "logs/a.log", "logs/sub/b.log", "logs/sub/deeper/c.log"}));

  TArchiverOptions plain;  // r not given: this folder only
  EXPECT_EQ(Expand(plain, {P("logs/*.log")}), Ps({"logs/a.log"}));
}

TEST_F(ExpandFileListTest, WithPOnlyMasksWithWildcardsRecurse) {
  File("logs/a.log");
  File("logs/sub/a.log");
  File("logs/sub/b.log");
  TArchiverOptions o;
  o.r = 1;
  o.p = 1;
  EXPECT_EQ(Expand(o, {P("logs/a.log")}), Ps({"logs/a.log"}));
  TArchiverOptions wild;
  wild.r = 1;
  wild.p = 1;
  EXPECT_EQ(Expand(wild, {P("logs/?.log")}),
            Ps({"logs/a.log", "logs/sub/a.log", "logs/sub/b.log"}));
  TArchiverOptions noP;  // p not given: a plain name is looked for in every folder
  noP.r = 1;
  EXPECT_EQ(Expand(noP, {P("logs/a.log")}), Ps({"logs/a.log", "logs/sub/a.log"}));
}

TEST_F(ExpandFileListTest, WithRTwoAFolderItemStandsForEveryFileBelowIt) {
  File("logs/a.log");
  File("logs/README");  // no dot: "*.*" still matches
  File("logs/.hidden");
  File("logs/sub/b.txt");
  TArchiverOptions o;
  o.r = 2;
  EXPECT_EQ(Expand(o, {P("logs")}), Ps({"logs/a.log", "logs/README", "logs/sub/b.txt"}));
  TArchiverOptions slash;
  slash.r = 2;
  EXPECT_EQ(Expand(slash, {P("logs/")}), Ps({"logs/a.log", "logs/README", "logs/sub/b.txt"}));
  TArchiverOptions mask;  // a mask item keeps its mask
  mask.r = 2;
  EXPECT_EQ(Expand(mask, {P("logs/*.txt")}), Ps({"logs/sub/b.txt"}));
}

TEST_F(ExpandFileListTest, AFolderItemWithoutRTwoAddsNothing) {
  File("logs/a.log");
  EXPECT_EQ(Expand({P("logs")}), Lines{});
  TArchiverOptions o;
  o.r = 1;
  EXPECT_EQ(Expand(o, {P("logs")}), Lines{});
}

TEST_F(ExpandFileListTest, HiddenFilesOnlyWithAAndFoldersNever) {
  File("logs/.a.log");
  File("logs/b.log");
  tree.Folder("logs/folder.log");
  EXPECT_EQ(Expand({P("logs/*.log")}), Ps({"logs/b.log"}));
  TArchiverOptions o;
  o.a = 1;
  EXPECT_EQ(Expand(o, {P("logs/*.log")}), Ps({"logs/.a.log", "logs/b.log"}));
}

TEST_F(ExpandFileListTest, OverlappingItemsListEachFileOnceInCaselessOrder) {
  File("logs/c.LOG");
  File("logs/a1.log");
  File("logs/B.log");
  File("logs/a2.log");
  const Lines expected = Ps({"logs/a1.log", "logs/a2.log", "logs/B.log", "logs/c.LOG"});
  EXPECT_EQ(Expand({P("logs/*.log"), P("logs/a*.log")}), expected);
  EXPECT_EQ(Expand({P("logs/a*.log"), P("logs/*.log"), P("logs/a1.log")}), expected);
}

TEST_F(ExpandFileListTest, NamesThatDifferOnlyInCaseAreBothListed) {
  // Two files on a case-sensitive file system: neither may be left out,
  // also when two items find them.
  File("logs/x.log");
  File("logs/X.log");
  File("logs/y.log");
  const Lines expected = Ps({"logs/X.log", "logs/x.log", "logs/y.log"});
  EXPECT_EQ(Expand({P("logs/*.log")}), expected);
  EXPECT_EQ(Expand({P("logs/x.log"), P("logs/X.log"), P("logs/?.log")}), expected);
}

TEST_F(ExpandFileListTest, ShortNameOptionKeepsLongNamesWhenThereIsNoShortName) {
  File("logs/a rather long file name.log");
  File("logs/sub folder with spaces/DR0701.log");
  TArchiverOptions o;
  o.ji = 1;
  o.r = 1;
  EXPECT_EQ(Expand(o, {P("logs/*.log")}),
            Ps({"logs/a rather long file name.log", "logs/sub folder with spaces/DR0701.log"}));
}

TEST_F(ExpandFileListTest, EmptyListTakesThePlainFilesOfTheCurrentFolder) {
  File("a.txt");
  File("b");
  File(".hidden");
  File("sub/c.txt");
  ScopedCwd cd(tree.Path());
  EXPECT_EQ(Expand({}), (Lines{"a.txt", "b"}));
  TArchiverOptions o;
  o.r = 1;
  o.a = 1;
  EXPECT_EQ(Expand(o, {}), (Lines{".hidden", "a.txt", "b", "sub/c.txt"}));
}

TEST_F(ExpandFileListTest, RelativeItemsGiveRelativePaths) {
  File("logs/DR0701.log");
  File("logs/sub/DR0702.log");
  ScopedCwd cd(tree.Path());
  TArchiverOptions o;
  o.r = 1;
  EXPECT_EQ(Expand(o, {"logs/DR07*.log"}), (Lines{"logs/DR0701.log", "logs/sub/DR0702.log"}));
  ScopedCwd inLogs(tree / "logs");
  EXPECT_EQ(Expand({"DR07*.log"}), (Lines{"DR0701.log"}));
}

TEST_F(ExpandFileListTest, TheFourOptionsAreResetWhatTheyWere) {
  File("a.log");
  TArchiverOptions o;
  o.r = 2;
  o.p = 0;
  o.a = 1;
  o.ji = 1;
  o.jo = "";
  o.job = "9812";
  Expand(o, {P("*.log")});
  EXPECT_EQ(o.r, -1);
  EXPECT_EQ(o.p, 1);
  EXPECT_EQ(o.jo, pelsok::NoValue);
  EXPECT_EQ(o.job, pelsok::NoValue);
  EXPECT_EQ(o.a, 1);
  EXPECT_EQ(o.ji, 1);

  TArchiverOptions nothingFound;
  nothingFound.r = 1;
  EXPECT_EQ(Expand(nothingFound, {P("*.none")}), Lines{});
  EXPECT_EQ(nothingFound.r, -1);
  EXPECT_EQ(nothingFound.p, 1);
}

TEST_F(ExpandFileListTest, MissingFoldersAndEmptyItemsAddNothing) {
  File("a.log");
  TArchiverOptions o;
  o.r = 2;
  EXPECT_EQ(Expand(o, {P("missing/*.log"), P("missing"), P("a.log/*.log"), P("a.log")}),
            Ps({"a.log"}));
  ScopedCwd cd(tree.Path());
  EXPECT_EQ(Expand({""}), Lines{});
}

TEST_F(ExpandFileListTest, LinksBackToAFolderOnTheWalkPathAreNotEntered) {
  File("logs/a.log");
  File("logs/sub/b.log");
  tree.Link("logs/sub/up", "..");
  tree.Link("logs/self", ".");
  tree.Link("logs/sub/root", tree.Path());
  TArchiverOptions o;
  o.r = 1;
  EXPECT_EQ(Expand(o, {P("logs/*.log")}), Ps({"logs/a.log", "logs/sub/b.log"}));
  TArchiverOptions all;
  all.r = 2;
  EXPECT_EQ(Expand(all, {P("logs")}), Ps({"logs/a.log", "logs/sub/b.log"}));
}

TEST_F(ExpandFileListTest, LinksToOtherFoldersAndFilesAreFollowed) {
  File("logs/a.log");
  File("archive/old.log");
  tree.Link("logs/archived", "../archive");
  tree.Link("logs/linked.log", "../archive/old.log");
  tree.Link("logs/dangling.log", "../nowhere.log");
  TArchiverOptions o;
  o.r = 1;
  EXPECT_EQ(Expand(o, {P("logs/*.log")}),
            Ps({"logs/a.log", "logs/archived/old.log", "logs/linked.log"}));
}

// Runs the expansion in a child process under an unprivileged user (root
// reads every folder) and returns what it listed.
Lines ExpandAsNobody(const std::string& item, bool& skipped) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    std::string text;
    try {
      TArchiverOptions o;
      o.r = 1;
      platform::TStringList list;
      list.Add(item);
      ExpandFileList(o, list);
      text = list.Text();
    } catch (...) {
      _exit(5);
    }
    if (write(fds[1], text.data(), text.size()) != static_cast<ssize_t>(text.size())) _exit(4);
    _exit(0);
  }
  close(fds[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  skipped = WIFEXITED(status) && WEXITSTATUS(status) == 3;
  platform::TStringList list;
  list.SetText(text);
  return list.Lines();
}

TEST_F(ExpandFileListTest, UnreadableFoldersAddNothing) {
  File("logs/a.log");
  File("logs/locked/b.log");
  File("logs/locked/inner/c.log");
  File("logs/open/d.log");
  chmod(tree.Path().c_str(), 0755);
  if (geteuid() == 0) {
    chmod(P("logs/locked").c_str(), 0700);  // root's own folder, closed to others
    bool skipped = false;
    const Lines found = ExpandAsNobody(P("logs/*.log"), skipped);
    if (skipped)
      GTEST_SKIP() << "running as root and cannot switch to user 65534 to lose read access";
    EXPECT_EQ(found, Ps({"logs/a.log", "logs/open/d.log"}));
  } else {
    chmod(P("logs/locked").c_str(), 0);
    TArchiverOptions o;
    o.r = 1;
    EXPECT_EQ(Expand(o, {P("logs/*.log")}), Ps({"logs/a.log", "logs/open/d.log"}));
  }
}

}  // namespace
