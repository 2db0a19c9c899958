// The command line: -x and -e, the replace rules of -u and -y, -s, masks,
// -t, -l, -q, bad lines, the output buffer, progress and cancelling, and a
// volume set with a volume missing.
#include <sys/stat.h>
#include <utime.h>

#include <cstring>

#include "UnrarHarness.h"

namespace unrartest {
namespace {

class SwitchTest : public UnrarTest {
 protected:
  void SetTime(const std::string& path, std::time_t t) {
    struct utimbuf times {
      t, t
    };
    ASSERT_EQ(::utime(path.c_str(), &times), 0);
  }
};

TEST_F(SwitchTest, XKeepsFoldersAndEPutsEveryFileInTheBaseFolder) {
  ASSERT_EQ(Unrar("-x -u  " + Q(Data("Rar4.rar")) + " " + Q(P("x/"))).result, arc::kOk);
  EXPECT_EQ(ReadFile(P("x/exe/test.exe")).size(), 45056u);
  const RunResult e = Unrar("-e -u  " + Q(Data("Rar4.rar")) + " " + Q(P("e/")));
  ASSERT_EQ(e.result, arc::kOk) << e.output;
  std::vector<std::string> names;
  for (const auto& [name, _] : Tree(P("e"))) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"test.exe", "test.jpg", "тест.txt"}));
  // Upper-case command letters and Windows delimiters are read as well.
  EXPECT_EQ(Unrar("-E -u  " + Q(Data("Rar4.rar")) + " " + Q(P("E") + "\\")).result, arc::kOk);
  EXPECT_TRUE(fs::exists(P("E/test.exe")));
}

TEST_F(SwitchTest, ReplaceRulesOfUAndY) {
  const std::string archive = Q(Data("Rar4.rar"));  // members of 2022-04-19
  const std::string target = P("out/exe/test.exe");
  const std::time_t older = 1500000000, newer = 2000000000;
  struct Row {
    const char* switches;
    std::time_t existing;
    bool replaced;
  } rows[] = {
      {"-u", older, true}, {"-u", newer, false}, {"-u -y", newer, false}, {"-y", newer, true},
      {"-y", older, true}, {"", older, false},   {"", newer, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.switches) + " existing " + std::to_string(row.existing));
    Write("out/exe/test.exe", "existing");
    SetTime(target, row.existing);
    const RunResult r = Unrar("-x " + std::string(row.switches) + "  " + archive + " " +
                              Q(P("out/")) + " " + Q("test.exe"));
    EXPECT_EQ(r.result, arc::kOk) << r.output;
    EXPECT_EQ(ReadFile(target) != "existing", row.replaced) << r.output;
  }
}

TEST_F(SwitchTest, MasksMatchNamesAndWithSTheWholePath) {
  struct Row {
    const char* args;
    std::vector<std::string> files;
    std::int32_t result;
  } rows[] = {
      {"\"*.jpg\"", {"jpg/", "jpg/test.jpg"}, arc::kOk},
      {"\"exe/*\"", {"exe/", "exe/test.exe"}, arc::kOk},
      {"\"exe\\*\"", {"exe/", "exe/test.exe"}, arc::kOk},
      {"\"*.jpg\" \"*.exe\"", {"exe/", "exe/test.exe", "jpg/", "jpg/test.jpg"}, arc::kOk},
      {"\"TEST.EXE\"", {"exe/", "exe/test.exe"}, arc::kOk},
      {"\"*.none\"", {}, arc::kNothingMatched},
  };
  int n = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args);
    const std::string out = P("m" + std::to_string(n++) + "/");
    const RunResult r = Unrar("-x -u  " + Q(Data("Rar4.rar")) + " " + Q(out) + " " + row.args);
    EXPECT_EQ(r.result, row.result) << r.output;
    std::vector<std::string> names;
    for (const auto& [name, _] : Tree(out)) names.push_back(name);
    EXPECT_EQ(names, row.files);
  }
  // -s: a bare name no longer matches a member inside a folder.
  EXPECT_EQ(Unrar("-x -u -s  " + Q(Data("Rar4.rar")) + " " + Q(P("s/")) + " \"test.exe\"").result,
            arc::kNothingMatched);
  EXPECT_EQ(Unrar("-x -u -s  " + Q(Data("Rar4.rar")) + " " + Q(P("s/")) + " \"*/test.exe\"").result,
            arc::kOk);
  EXPECT_TRUE(fs::exists(P("s/exe/test.exe")));
}

TEST_F(SwitchTest, TestAndListReadWithoutWriting) {
  const RunResult t = Unrar("-t  " + Q(Data("Rar.rar")));
  EXPECT_EQ(t.result, arc::kOk) << t.output;
  EXPECT_NE(t.output.find("正常  jpg/test.jpg"), std::string::npos) << t.output;
  const RunResult l = Unrar("-l  " + Q(Data("Rar5.rar")));
  EXPECT_EQ(l.result, arc::kOk) << l.output;
  EXPECT_NE(l.output.find("RAR5:m3 CFB109C8 ----  exe/test.exe"), std::string::npos) << l.output;
  EXPECT_NE(l.output.find("6 件"), std::string::npos) << l.output;
  // A damaged member fails the test by name.
  RarBuilder b;
  b.Add(StoredMember("good.log", "all well"))
      .Add(StoredMember("bad.log", "garbled").WithCrc(0x12345678u));
  const std::string bad = Write("bad.rar", b.Build());
  const RunResult tb = Unrar("-t  " + Q(bad));
  EXPECT_EQ(tb.result, arc::kNotArchive) << tb.output;
  EXPECT_NE(tb.output.find("正常  good.log"), std::string::npos) << tb.output;
  EXPECT_NE(tb.output.find("破損  bad.log"), std::string::npos) << tb.output;
  EXPECT_TRUE(Tree(dir_).count("bad.rar"));
  EXPECT_EQ(Tree(dir_).size(), 1u);
}

TEST_F(SwitchTest, BadLinesAndTheOutputBuffer) {
  EXPECT_EQ(Unrar("").result, arc::kBadCommand);
  EXPECT_EQ(Unrar("-a  " + Q(Data("Rar.rar"))).result, arc::kBadCommand);
  EXPECT_EQ(Unrar("x  " + Q(Data("Rar.rar"))).result, arc::kBadCommand);
  EXPECT_EQ(Unrar("-x -u  \"\"").result, arc::kBadCommand);
  EXPECT_EQ(Unrar("-x -u  \"unclosed").result, arc::kBadCommand);
  EXPECT_EQ(Unrar("-x -u  " + Q(P("missing.rar"))).result, arc::kNotArchive);
  // Unknown switches are ignored.
  EXPECT_EQ(Unrar("-t -zz -o+  " + Q(Data("Rar.rar"))).result, arc::kOk);
  // A null buffer is never written; a small one is cut and NUL-terminated.
  EXPECT_EQ(kUnrar32.command(nullptr, ("-t  " + Q(Data("Rar.rar"))).c_str(), nullptr, 0), arc::kOk);
  char small[8];
  std::memset(small, 'x', sizeof small);
  EXPECT_EQ(kUnrar32.command(nullptr, ("-t  " + Q(Data("Rar.rar"))).c_str(), small, 5), arc::kOk);
  // Cut before the character that does not fit whole: "正" and the NUL.
  EXPECT_EQ(std::string(small, 4), std::string("正\0", 4));
  EXPECT_EQ(small[4], 'x');
}

TEST_F(SwitchTest, QStopsAtTheFirstFailure) {
  const RunResult all = Unrar("-x -u  " + Q(Data("Rar2.rar")) + " " + Q(P("a/")));
  EXPECT_NE(all.output.find("тест.txt"), std::string::npos);
  const RunResult q = Unrar("-x -u -q  " + Q(Data("Rar2.rar")) + " " + Q(P("q/")));
  EXPECT_EQ(q.result, unrar::kUnsupported);
  EXPECT_NE(q.output.find("拒否  exe/test.exe"), std::string::npos) << q.output;
  EXPECT_EQ(q.output.find("jpg/test.jpg"), std::string::npos) << q.output;
}

TEST_F(SwitchTest, AMissingVolumeIsNamedAndLeavesNothingHalfWritten) {
  for (const std::string set : {"Rar5.multi", "Rar4.multi", "Rar.multi"}) {
    SCOPED_TRACE(set);
    const std::string copy = P(set + "/");
    fs::create_directories(copy);
    for (const char* part : {".part01.rar", ".part02.rar", ".part03.rar"})
      fs::copy_file(Data(set + part), copy + set + part);
    const RunResult r =
        Unrar("-x -u  " + Q(copy + set + ".part01.rar") + " " + Q(P("out" + set + "/")));
    EXPECT_EQ(r.result, unrar::kUnsupported) << r.output;
    EXPECT_NE(r.output.find("jpg/test.jpg: 続きの分割書庫が見つかりません"), std::string::npos)
        << r.output;
    EXPECT_EQ(ReadFile(P("out" + set + "/exe/test.exe")).size(), 45056u);
    EXPECT_FALSE(fs::exists(P("out" + set + "/jpg/test.jpg")));
  }
}

struct Counter {
  int calls = 0;
  int cancelAt = -1;
  std::uint64_t bytes = 0;
};

std::int32_t CountProgress(void* user, const ArcProgress* p) {
  auto* c = static_cast<Counter*>(user);
  c->bytes = p->bytesDone;
  return ++c->calls == c->cancelAt ? 1 : 0;
}

TEST_F(SwitchTest, ProgressIsToldAndCancelStops) {
  const ArchiverLibrary& lib = kUnrar32;
  ASSERT_NE(lib.setProgress, nullptr);
  Counter all;
  lib.setProgress(CountProgress, &all);
  EXPECT_EQ(Unrar("-x -u  " + Q(Data("Rar.Audio_program.rar")) + " " + Q(P("a/"))).result,
            arc::kOk);
  EXPECT_GE(all.calls, 4);
  EXPECT_EQ(all.bytes, 5176144u);
  Counter stop;
  stop.cancelAt = 2;  // inside the 5 MB member
  lib.setProgress(CountProgress, &stop);
  const RunResult r = Unrar("-x -u  " + Q(Data("Rar.Audio_program.rar")) + " " + Q(P("c/")));
  lib.setProgress(nullptr, nullptr);
  EXPECT_EQ(r.result, arc::kCancelled) << r.output;
  EXPECT_TRUE(Tree(P("c")).empty());
}

}  // namespace
}  // namespace unrartest
