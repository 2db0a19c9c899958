// Archives written by the library from varied inputs, extracted by lhasa,
// 7zz and bsdtar, must give back every file bit for bit.
#include <map>

#include "UnlhaHarness.h"

namespace unlhatest {
namespace {

struct Tool {
  const char* name;
  const char* extract;  // run inside the output folder; %A is the archive
};

const Tool kTools[] = {
    {"lhasa", "lhasa xq %A"},
    {"7zz", "7zz x -y %A"},
    {"bsdtar", "bsdtar -xf %A"},
    {"jlha", "jlha x %A"},
};

std::string Expand(std::string pattern, const std::string& archive) {
  return pattern.replace(pattern.find("%A"), 2, ShellQuote(archive));
}

class InteropTest : public TempDirTest {
 protected:
  // Writes the inputs below src/, packs them with the switches, and checks
  // that each tool extracts exactly them.
  void PackAndCheck(const std::map<std::string, std::string>& inputs, const std::string& switches,
                    const std::vector<const Tool*>& tools) {
    for (auto& [name, data] : inputs) WriteFile(Path("src/" + name), data);
    const std::string archive = P("T.LZH");
    fs::remove(archive);
    RunResult r =
        Unlha("a -+ " + switches + " -x1 -r1  " + Q(archive) + " " + Q(P("src/")) + " " + Q("*"));
    ASSERT_EQ(r.result, arc::kOk) << r.output;
    std::string missing;
    for (const Tool* t : tools) {
      if (FindTool(t->name).empty()) {
        missing += std::string(" ") + t->name;
        continue;
      }
      SCOPED_TRACE(std::string(t->name) + " with " + switches);
      const fs::path out = Path(std::string("out-") + t->name);
      fs::remove_all(out);
      fs::create_directories(out);
      const auto extract = RunCommand(Expand(t->extract, archive), out);
      ASSERT_EQ(extract.status, 0) << extract.output;
      std::vector<std::string> expected;
      for (auto& [name, data] : inputs) {
        expected.push_back(name);
        EXPECT_EQ(ReadFile(out / name), data) << name;
      }
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(ListFiles(out), expected);
    }
    if (!missing.empty()) GTEST_SKIP() << "not on PATH:" << missing;
  }
  std::vector<const Tool*> All() { return {&kTools[0], &kTools[1], &kTools[2]}; }
};

std::map<std::string, std::string> VariedInputs() {
  return {
      {"empty.log", ""},
      {"one.bin", "x"},
      {"noise.bin", RandomBytes(70000, 7)},
      {"logs/big.log", LogText(3u << 20, 1)},
      {"logs/deeper/nested/small.log", LogText(5000, 2)},
      {"runs.bin", std::string(200000, 'a') + RandomBytes(1000, 3) + std::string(70000, '\0')},
  };
}

TEST_F(InteropTest, DefaultMethodIsReadByEveryTool) {
  auto tools = All();
  tools.push_back(&kTools[3]);  // jlha is slow to start: only here
  PackAndCheck(VariedInputs(), "", tools);
}

TEST_F(InteropTest, EachMethodIsReadByEveryTool) {
  auto inputs = VariedInputs();
  inputs.erase("logs/big.log");
  inputs["logs/mid.log"] = LogText(400000, 9);
  for (const char* sw : {"-o5", "-o6", "-o7", "-z1", "-o7 -jm1", "-o5 -jm9"})
    PackAndCheck(inputs, sw, All());
}

TEST_F(InteropTest, IncompressibleDataIsStored) {
  WriteFile(Path("noise.bin"), RandomBytes(100000, 11));
  RunResult r = Unlha("a -+  " + Q(P("N.LZH")) + " " + Q(P("noise.bin")));
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  const ArchiverLibrary& lib = kUnlha32;
  ArcHandle h = lib.open(nullptr, P("N.LZH").c_str(), 0);
  ASSERT_NE(h, 0);
  TArchiveEntryInfo info{};
  ASSERT_EQ(lib.findFirst(h, "*", &info), 0);
  EXPECT_STREQ(info.Method, "-lh0-");
  EXPECT_EQ(info.CompressedSize, 100000u);
  lib.close(h);
}

TEST_F(InteropTest, JapaneseNamesAreReadBy7zzAndBsdtar) {
  std::map<std::string, std::string> inputs = {
      {"ログ/日本語ファイル.log", LogText(3000, 4)},
      {"表示/ソース.txt", "表"},  // 表 and ソ end in the byte 0x5C in Shift-JIS
  };
  PackAndCheck(inputs, "", {&kTools[1], &kTools[2]});
}

TEST_F(InteropTest, ShiftJisNamesComeBackAsUtf8) {
  WriteFile(Path("src/表示/ソース.txt"), "data");
  ASSERT_EQ(
      Unlha("a -+ -k1 -x1  " + Q(P("S.LZH")) + " " + Q(P("src/")) + " " + Q("表示/ソース.txt"))
          .result,
      arc::kOk);
  // The stored bytes are Shift-JIS: 表示 is 95 5C 8E A6.
  EXPECT_NE(ReadFile(Path("S.LZH")).find("\x95\x5C\x8E\xA6\xFF"), std::string::npos);
  const ArchiverLibrary& lib = kUnlha32;
  ArcHandle h = lib.open(nullptr, P("S.LZH").c_str(), 0);
  ASSERT_NE(h, 0);
  TArchiveEntryInfo info{};
  ASSERT_EQ(lib.findFirst(h, "*.*", &info), 0);
  EXPECT_STREQ(info.FileName, "表示/ソース.txt");
  lib.close(h);
  ASSERT_EQ(Unlha("x -+  " + Q(P("S.LZH")) + " " + Q(P("out/"))).result, arc::kOk);
  EXPECT_EQ(ReadFile(Path("out/表示/ソース.txt")), "data");
}

}  // namespace
}  // namespace unlhatest
