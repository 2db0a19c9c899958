// Cabinets written by the library, stored and MSZIP, from varied inputs:
// cabextract -t passes them, and cabextract, gcab, 7zz and bsdtar give back
// every file bit for bit.
#include <map>

#include "CabHarness.h"

namespace cabtest {
namespace {

struct Tool {
  const char* name;
  const char* extract;  // run inside the output folder; %A is the archive
};

const Tool kTools[] = {
    {"cabextract", "cabextract -q %A"},
    {"gcab", "gcab -x %A"},
    {"7zz", "7zz x -y %A"},
    {"bsdtar", "bsdtar -xf %A"},
};

std::string Expand(std::string pattern, const std::string& archive) {
  return pattern.replace(pattern.find("%A"), 2, Q(archive));
}

class InteropTest : public TempDirTest {
 protected:
  void PackAndCheck(const std::map<std::string, std::string>& inputs, const std::string& switches) {
    for (auto& [name, data] : inputs) WriteFile(Path("src/" + name), data);
    const std::string archive = P("T.CAB");
    fs::remove(archive);
    RunResult r = Cab("-a " + switches + " -r  " + Q(archive) + " " + Q(P("src/")) + " " + Q("*"));
    ASSERT_EQ(r.result, arc::kOk) << r.output;
    REQUIRE_TOOL("cabextract");
    std::string log;
    ASSERT_EQ(Shell("cabextract -t " + Q(archive), dir_, &log), 0) << log;
    std::vector<std::string> expected;
    for (auto& [name, data] : inputs) expected.push_back(name);
    std::sort(expected.begin(), expected.end());
    for (const Tool& t : kTools) {
      SCOPED_TRACE(std::string(t.name) + " with " + switches);
      REQUIRE_TOOL(t.name);
      const fs::path out = Path(std::string("out-") + t.name);
      fs::remove_all(out);
      fs::create_directories(out);
      ASSERT_EQ(Shell(Expand(t.extract, archive), out, &log), 0) << log;
      for (auto& [name, data] : inputs) EXPECT_EQ(ReadFile(out / name), data) << name;
      EXPECT_EQ(ListFiles(out), expected);
    }
  }
};

std::map<std::string, std::string> VariedInputs() {
  return {
      {"empty.log", ""},
      {"one.bin", "x"},
      {"noise.bin", RandomBytes(70000, 7)},
      {"logs/big.log", LogText(3u << 20, 1)},
      {"logs/deeper/nested/small.log", LogText(5000, 2)},
      {"runs.bin", std::string(200000, 'a') + RandomBytes(1000, 3) + std::string(70000, '\0')},
      {"ログ/日本語ファイル.log", LogText(3000, 4)},
      {"表示/ソース.txt", "表"},  // 表 and ソ end in the byte 0x5C in Shift-JIS
  };
}

TEST_F(InteropTest, MszipAndStoredAreReadByEveryTool) {
  for (const char* sw : {"", "-m0"}) PackAndCheck(VariedInputs(), sw);
}

TEST_F(InteropTest, ManyFilesAreReadByEveryTool) {
  std::map<std::string, std::string> inputs;
  for (int i = 0; i < 400; ++i)
    inputs["d" + std::to_string(i % 7) + "/f" + std::to_string(i) + ".log"] =
        LogText(static_cast<std::size_t>(i) * 37, static_cast<unsigned>(i));
  PackAndCheck(inputs, "");
}

}  // namespace
}  // namespace cabtest
