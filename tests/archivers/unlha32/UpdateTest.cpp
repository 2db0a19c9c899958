// Commands a, u and d on new and existing archives: which members are kept,
// replaced or added, and that a run that matches nothing changes nothing.
#include <utime.h>

#include "UnlhaHarness.h"

namespace unlhatest {
namespace {

class UpdateTest : public TempDirTest {
 protected:
  std::vector<std::pair<std::string, std::uint32_t>> Members(const std::string& archive) {
    std::vector<std::pair<std::string, std::uint32_t>> out;
    const ArchiverLibrary& lib = kUnlha32;
    ArcHandle h = lib.open(nullptr, archive.c_str(), 0);
    if (h == 0) return out;
    TArchiveEntryInfo info{};
    for (int r = lib.findFirst(h, "*", &info); r == 0; r = lib.findNext(h, &info))
      out.emplace_back(info.FileName, info.OriginalSize);
    lib.close(h);
    return out;
  }
  void SetTime(const std::string& rel, time_t t) {
    struct utimbuf u {
      t, t
    };
    ASSERT_EQ(::utime(P(rel).c_str(), &u), 0);
  }
};

TEST_F(UpdateTest, NothingMatchedCreatesNoArchiveAndKeepsAnOldOne) {
  RunResult r = Unlha("u -+ -x0  " + Q(P("A.LZH")) + " " + Q(P("DR07*.log")) + " ");
  EXPECT_EQ(r.result, arc::kNothingMatched) << r.output;
  EXPECT_FALSE(fs::exists(Path("A.LZH")));

  WriteFile(Path("one.log"), "1");
  ASSERT_EQ(Unlha("a -+  " + Q(P("A.LZH")) + " " + Q(P("one.log"))).result, arc::kOk);
  const std::string before = ReadFile(Path("A.LZH"));
  EXPECT_EQ(Unlha("u -+  " + Q(P("A.LZH")) + " " + Q(P("DR07*.log"))).result, arc::kNothingMatched);
  EXPECT_EQ(ReadFile(Path("A.LZH")), before);
}

TEST_F(UpdateTest, UpdateKeepsOtherMembersAndReplacesOnlyNewerFiles) {
  WriteFile(Path("a.log"), "aaaa");
  WriteFile(Path("b.log"), "bbbb");
  SetTime("a.log", 1700000000);
  SetTime("b.log", 1700000000);
  ASSERT_EQ(Unlha("u -+  " + Q(P("A.LZH")) + " " + Q(P("a.log")) + " " + Q(P("b.log"))).result,
            arc::kOk);

  // b changes but keeps its old time: u leaves it, a replaces it.
  WriteFile(Path("b.log"), "bbbbbbbb");
  SetTime("b.log", 1700000000);
  WriteFile(Path("c.log"), "cc");
  RunResult r = Unlha("u -+  " + Q(P("A.LZH")) + " " + Q(P("b.log")) + " " + Q(P("c.log")));
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(Members(P("A.LZH")), (std::vector<std::pair<std::string, std::uint32_t>>{
                                     {"a.log", 4}, {"b.log", 4}, {"c.log", 2}}));

  SetTime("b.log", 1700000100);  // now newer: u replaces in place
  ASSERT_EQ(Unlha("u -+  " + Q(P("A.LZH")) + " " + Q(P("b.log"))).result, arc::kOk);
  EXPECT_EQ(Members(P("A.LZH")), (std::vector<std::pair<std::string, std::uint32_t>>{
                                     {"a.log", 4}, {"b.log", 8}, {"c.log", 2}}));

  WriteFile(Path("a.log"), "a");
  SetTime("a.log", 1600000000);  // older than the member: only a (or u -c) takes it
  ASSERT_EQ(Unlha("u -+  " + Q(P("A.LZH")) + " " + Q(P("a.log"))).result, arc::kOk);
  EXPECT_EQ(Members(P("A.LZH"))[0].second, 4u);
  ASSERT_EQ(Unlha("u -+ -c1  " + Q(P("A.LZH")) + " " + Q(P("a.log"))).result, arc::kOk);
  EXPECT_EQ(Members(P("A.LZH"))[0].second, 1u);
  WriteFile(Path("a.log"), "aa");
  SetTime("a.log", 1500000000);
  ASSERT_EQ(Unlha("a -+  " + Q(P("A.LZH")) + " " + Q(P("a.log"))).result, arc::kOk);
  EXPECT_EQ(Members(P("A.LZH"))[0].second, 2u);
}

TEST_F(UpdateTest, ArchiveIsNeverPackedIntoItself) {
  WriteFile(Path("x.log"), "x");
  ASSERT_EQ(Unlha("a -+  " + Q(P("A.LZH")) + " " + Q(P("*"))).result, arc::kOk);
  ASSERT_EQ(Unlha("a -+  " + Q(P("A.LZH")) + " " + Q(P("*"))).result, arc::kOk);
  EXPECT_EQ(Members(P("A.LZH")).size(), 1u);
  for (auto& f : ListFiles(dir_)) EXPECT_EQ(f.find(".tmp"), std::string::npos) << f;
}

TEST_F(UpdateTest, HiddenFilesOnlyWithSwitchAndDateBounds) {
  WriteFile(Path("logs/.hidden.log"), "h");
  WriteFile(Path("logs/old.log"), "o");
  WriteFile(Path("logs/new.log"), "n");
  SetTime("logs/old.log", 946684800);   // 2000-01-01
  SetTime("logs/new.log", 1780000000);  // 2026
  SetTime("logs/.hidden.log", 1780000000);
  ASSERT_EQ(Unlha("a -+  " + Q(P("A.LZH")) + " " + Q(P("logs/*.log"))).result, arc::kOk);
  EXPECT_EQ(Members(P("A.LZH")).size(), 2u);
  ASSERT_EQ(Unlha("a -+ -a1  " + Q(P("B.LZH")) + " " + Q(P("logs/*.log"))).result, arc::kOk);
  EXPECT_EQ(Members(P("B.LZH")).size(), 3u);
  ASSERT_EQ(Unlha("a -+ \"-jo100101\"  " + Q(P("C.LZH")) + " " + Q(P("logs/*.log"))).result,
            arc::kOk);
  EXPECT_EQ(Members(P("C.LZH")),
            (std::vector<std::pair<std::string, std::uint32_t>>{{"new.log", 1}}));
  ASSERT_EQ(Unlha("a -+ \"-job100101\"  " + Q(P("D.LZH")) + " " + Q(P("logs/*.log"))).result,
            arc::kOk);
  EXPECT_EQ(Members(P("D.LZH")),
            (std::vector<std::pair<std::string, std::uint32_t>>{{"old.log", 1}}));
}

TEST_F(UpdateTest, DeleteRemovesMatchingMembersOnly) {
  for (auto n : {"a.log", "b.log", "c.txt"}) WriteFile(Path(n), n);
  ASSERT_EQ(Unlha("a -+  " + Q(P("A.LZH")) + " " + Q(P("*"))).result, arc::kOk);
  const std::string before = ReadFile(Path("A.LZH"));
  EXPECT_EQ(Unlha("d -+  " + Q(P("A.LZH")) + " " + Q("*.bak")).result, arc::kNothingMatched);
  EXPECT_EQ(ReadFile(Path("A.LZH")), before);
  ASSERT_EQ(Unlha("d -+  " + Q(P("A.LZH")) + " " + Q("*.log")).result, arc::kOk);
  EXPECT_EQ(Members(P("A.LZH")),
            (std::vector<std::pair<std::string, std::uint32_t>>{{"c.txt", 5}}));
  ASSERT_EQ(Unlha("d -+  " + Q(P("A.LZH")) + " " + Q("c.txt")).result, arc::kOk);
  EXPECT_FALSE(fs::exists(Path("A.LZH")));
}

TEST_F(UpdateTest, ExtractReplacesOnlyWhenNewerUnlessTold) {
  WriteFile(Path("src/f.log"), "archived");
  SetTime("src/f.log", 1700000000);
  ASSERT_EQ(Unlha("a -+  " + Q(P("A.LZH")) + " " + Q(P("src/f.log"))).result, arc::kOk);
  WriteFile(Path("out/f.log"), "local, newer");
  SetTime("out/f.log", 1700000500);
  RunResult r = Unlha("x -+  " + Q(P("A.LZH")) + " " + Q(P("out/")));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(Path("out/f.log")), "local, newer");
  r = Unlha("x -+ -c1  " + Q(P("A.LZH")) + " " + Q(P("out/")));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(Path("out/f.log")), "archived");
  EXPECT_EQ(fs::last_write_time(Path("out/f.log")), fs::last_write_time(Path("src/f.log")));
}

// A file of the member's own time stays; one a second older is replaced.
// Our members carry their exact Unix time, so one second is a whole step.
TEST_F(UpdateTest, ExtractKeepsAFileOfTheMembersTimeAndReplacesAnOlderOne) {
  WriteFile(Path("src/f.log"), "archived");
  SetTime("src/f.log", 1700000000);
  ASSERT_EQ(Unlha("a -+  " + Q(P("A.LZH")) + " " + Q(P("src/f.log"))).result, arc::kOk);
  WriteFile(Path("out/f.log"), "local");
  SetTime("out/f.log", 1700000000);
  RunResult r = Unlha("x -+  " + Q(P("A.LZH")) + " " + Q(P("out/")));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(Path("out/f.log")), "local");
  SetTime("out/f.log", 1699999999);
  r = Unlha("x -+  " + Q(P("A.LZH")) + " " + Q(P("out/")));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(Path("out/f.log")), "archived");
}

TEST_F(UpdateTest, FolderOperandsAndRecursion) {
  WriteFile(Path("tree/top.log"), "t");
  WriteFile(Path("tree/sub/deep.log"), "d");
  WriteFile(Path("tree/sub/deeper/deepest.txt"), "dd");
  ASSERT_EQ(Unlha("a -+ -x1  " + Q(P("A.LZH")) + " " + Q(P("tree/")) + " " + Q("sub/")).result,
            arc::kOk);
  EXPECT_EQ(Members(P("A.LZH")),
            (std::vector<std::pair<std::string, std::uint32_t>>{{"sub/deep.log", 1}}));
  ASSERT_EQ(Unlha("a -+ -x1 -r2  " + Q(P("B.LZH")) + " " + Q(P("tree/")) + " " + Q("sub")).result,
            arc::kOk);
  EXPECT_EQ(Members(P("B.LZH")), (std::vector<std::pair<std::string, std::uint32_t>>{
                                     {"sub/deep.log", 1}, {"sub/deeper/deepest.txt", 2}}));
  ASSERT_EQ(Unlha("a -+ -x1 -r1  " + Q(P("C.LZH")) + " " + Q(P("tree/")) + " " + Q("*.log")).result,
            arc::kOk);
  EXPECT_EQ(Members(P("C.LZH")), (std::vector<std::pair<std::string, std::uint32_t>>{
                                     {"top.log", 1}, {"sub/deep.log", 1}}));
  // e flattens, x keeps folders; member masks pick by name or whole path.
  ASSERT_EQ(Unlha("e -+  " + Q(P("B.LZH")) + " " + Q(P("flat/"))).result, arc::kOk);
  EXPECT_EQ(ListFiles(Path("flat")), (std::vector<std::string>{"deep.log", "deepest.txt"}));
  ASSERT_EQ(Unlha("x -+  " + Q(P("B.LZH")) + " " + Q(P("some/")) + " " + Q("sub/deeper/*")).result,
            arc::kOk);
  EXPECT_EQ(ListFiles(Path("some")), (std::vector<std::string>{"sub/deeper/deepest.txt"}));
  EXPECT_EQ(Unlha("x -+  " + Q(P("B.LZH")) + " " + Q(P("none/")) + " " + Q("*.bak")).result,
            arc::kNothingMatched);
}

TEST_F(UpdateTest, OutputBufferIsCutAndTerminated) {
  WriteFile(Path("a.log"), "a");
  RunResult r = Unlha("a -+  " + Q(P("A.LZH")) + " " + Q(P("a.log")), 10);
  EXPECT_EQ(r.result, arc::kOk);
  EXPECT_EQ(r.output.size(), 9u);
  r = Unlha("l -+  " + Q(P("A.LZH")), 0);  // null buffer, size 0: nothing written, no crash
  EXPECT_EQ(r.result, arc::kOk);
  r = Unlha("l -+  " + Q(P("A.LZH")));
  EXPECT_NE(r.output.find("a.log"), std::string::npos);
  EXPECT_NE(r.output.find("1 件"), std::string::npos);
}

}  // namespace
}  // namespace unlhatest
