// Archives made by the independent arj program, with every method it has,
// folders, empty files and folders, Japanese names and a 50 MB log: listed
// and extracted bit for bit by us, and extracted the same by 7zz and unar.
#include <fstream>
#include <map>
#include <sstream>

#include "ArjTestWriter.h"
#include "UnarjHarness.h"

namespace unarjtest {
namespace {

class ArjToolsTest : public UnarjTest {
 protected:
  // Files below src/ (names are UTF-8), plus the empty folder src/void/.
  std::map<std::string, std::string> MakeInputs() {
    std::map<std::string, std::string> in = {
        {"empty.log", ""},
        {"one.txt", "x"},
        {"logs/DR1101.log", LogText(300000, 1)},
        {"logs/deep/er/DR1102.log", LogText(70000, 2)},
        {"random.bin", RandomBytes(40000, 3)},
        {"runs.bin", std::string(100000, 'a') + RandomBytes(3000, 4) + std::string(70000, '\0')},
        {"日本語/ログ＿一覧.txt", LogText(5000, 5)},
    };
    for (auto& [name, data] : in) Write("src/" + name, data);
    fs::create_directories(Path("src/void"));
    return in;
  }

  // Packs src/ with arj and the given method into name.
  std::string Pack(const std::string& name, int method) {
    if (FindTool("arj").empty()) {
      ADD_FAILURE() << "tool not found on PATH: arj";
      return {};
    }
    const std::string archive = P(name);
    std::string log;
    EXPECT_EQ(Shell("arj a -r -a1 -y -m" + std::to_string(method) + " " + Q(archive) + " '*'",
                    Path("src"), &log),
              0)
        << log;
    return archive;
  }

  // Every file of inputs is in out with its bytes, and nothing else but folders.
  void ExpectSame(const fs::path& out, const std::map<std::string, std::string>& inputs) {
    std::vector<std::string> files;
    for (auto& e : fs::recursive_directory_iterator(out))
      if (!e.is_directory()) files.push_back(fs::relative(e.path(), out).string());
    std::sort(files.begin(), files.end());
    std::vector<std::string> expected;
    for (auto& [name, data] : inputs) {
      expected.push_back(name);
      EXPECT_EQ(ReadFile((out / name).string()) == data, true) << name;
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(files, expected);
    EXPECT_TRUE(fs::is_directory(out / "void"));
  }
};

TEST_F(ArjToolsTest, EveryMethodListsAndExtractsBitForBitAsArj7zzAndUnarDo) {
  SKIP_WITHOUT_TOOL("arj");
  const auto inputs = MakeInputs();
  for (int method = 0; method <= 4; ++method) {
    SCOPED_TRACE("method " + std::to_string(method));
    const std::string archive = Pack("m" + std::to_string(method) + ".arj", method);

    // Listing: every member with its size and CRC-32; folders end in '/'.
    std::map<std::string, Listed> listed;
    for (auto& e : ListArchive(archive)) listed[e.name] = e;
    for (auto& [name, data] : inputs) {
      ASSERT_TRUE(listed.count(name)) << name;
      EXPECT_EQ(listed[name].size, data.size()) << name;
      EXPECT_EQ(listed[name].crc, Crc32(data)) << name;
    }
    EXPECT_TRUE(listed.count("void/"));
    EXPECT_TRUE(listed.count("日本語/"));

    const std::string ours = "ours" + std::to_string(method);
    RunResult r = Unarj("x -+  " + Q(archive) + " " + Q(P(ours) + "/") + " ");
    ASSERT_EQ(r.result, arc::kOk) << r.output;
    ExpectSame(Path(ours), inputs);
    RunResult t = Unarj("t " + Q(archive));
    EXPECT_EQ(t.result, arc::kOk) << t.output;

    for (const char* tool : {"7zz", "unar"}) {
      SCOPED_TRACE(tool);
      SKIP_WITHOUT_TOOL(tool);
      const fs::path out = Path(std::string(tool) + std::to_string(method));
      fs::create_directories(out);
      const std::string cmd =
          std::string(tool) == "7zz" ? "7zz x -y " + Q(archive) : "unar -q -f -D " + Q(archive);
      std::string log;
      ASSERT_EQ(Shell(cmd, out, &log), 0) << log;
      // unar joins the folders of a name that arj stored without its path
      // flag (0x10) with '_'; the data must be the same all the same.
      const bool joins = std::string(tool) == "unar";
      for (auto& [name, data] : inputs) {
        std::string at = name;
        if (joins && !fs::exists(out / at)) std::replace(at.begin(), at.end(), '/', '_');
        EXPECT_TRUE(ReadFile((out / at).string()) == data) << name;
      }
      if (!joins) {
        EXPECT_EQ(ListTree(out), ListTree(Path(ours)));
      }
    }
  }
}

// A set arj cuts into 20 KiB volumes (SET.ARJ to SET.A04: a packed log over
// the first three, a stored file over the last three) lists and extracts
// whole from its first volume; opened at a later volume, the member that
// began before says where to start; with SET.A02 gone, the log that runs
// into it names it and the member before it is still extracted.
TEST_F(ArjToolsTest, VolumeSetsAreReadWholeAndAMissingVolumeIsNamed) {
  SKIP_WITHOUT_TOOL("arj");
  const std::map<std::string, std::string> inputs = {{"a.log", LogText(60000, 11)},
                                                     {"b.log", LogText(200000, 12)},
                                                     {"c.bin", RandomBytes(30000, 13)}};
  for (const auto& [name, data] : inputs) WriteFile(Path("src/" + name), data);
  fs::create_directories(Path("set"));
  std::string log;
  ASSERT_EQ(
      Shell("arj a -v20k -y " + Q(P("set/SET.ARJ")) + " a.log b.log c.bin", Path("src"), &log), 0)
      << log;
  ASSERT_TRUE(fs::exists(Path("set/SET.A02"))) << log;

  std::map<std::string, std::uint32_t> listed;
  for (auto& e : ListArchive(P("set/SET.ARJ"))) listed[e.name] = e.size;
  for (const auto& [name, data] : inputs) EXPECT_EQ(listed[name], data.size()) << name;
  RunResult r = Unarj("x -+  " + Q(P("set/SET.ARJ")) + " " + Q(P("out") + "/") + " ");
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  for (const auto& [name, data] : inputs) EXPECT_TRUE(ReadFile(P("out/" + name)) == data) << name;
  EXPECT_EQ(Unarj("t " + Q(P("set/SET.ARJ"))).result, arc::kOk);

  r = Unarj("x -+  " + Q(P("set/SET.A01")) + " " + Q(P("mid") + "/") + " ");
  EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
  EXPECT_NE(r.output.find("最初の巻"), std::string::npos) << r.output;

  fs::remove(Path("set/SET.A02"));
  r = Unarj("x -+  " + Q(P("set/SET.ARJ")) + " " + Q(P("cut") + "/") + " ");
  EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
  EXPECT_NE(r.output.find("SET.A02"), std::string::npos) << r.output;
  EXPECT_TRUE(ReadFile(P("cut/a.log")) == inputs.at("a.log"));
  EXPECT_FALSE(fs::exists(Path("cut/b.log")));
}

TEST_F(ArjToolsTest, AFiftyMegabyteLogRoundTrips) {
  SKIP_WITHOUT_TOOL("arj");
  const std::string log = LogText(50u << 20, 7);
  Write("src/big.log", log);
  const std::string archive = Pack("big.arj", 1);
  RunResult r = Unarj("x -+  " + Q(archive) + " " + Q(P("out") + "/") + " ");
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_TRUE(ReadFile(P("out/big.log")) == log);
  const auto listed = ListArchive(archive);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].size, log.size());
  EXPECT_LT(listed[0].info.CompressedSize, log.size() / 4);
}

TEST_F(ArjToolsTest, ShiftJisNamesBecomeUtf8) {
  SKIP_WITHOUT_TOOL("arj");
  // arj stores a name's bytes as it finds them: a Shift-JIS name stays Shift-JIS.
  const std::string sjis = "\x93\xfa\x96\x7b\x8c\xea.txt";  // 日本語.txt
  const std::string table = "\x95\x5c.txt";                 // 表.txt: 0x5C as a trail byte
  fs::create_directories(Path("src"));
  Write("src/" + sjis, "nihongo");
  Write("src/" + table, "hyou");
  const std::string archive = Pack("sjis.arj", 1);
  std::vector<std::string> names;
  for (auto& e : ListArchive(archive)) names.push_back(e.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"日本語.txt", "表.txt"}));
  RunResult r = Unarj("e " + Q(archive) + " " + Q(P("out") + "/"));
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(P("out/日本語.txt")), "nihongo");
  EXPECT_EQ(ReadFile(P("out/表.txt")), "hyou");
}

TEST_F(ArjToolsTest, TheCheckedInArchivesGiveTheirExpectedFiles) {
  std::map<std::string, std::pair<std::uint32_t, std::size_t>> expected;
  std::ifstream tsv(std::string(DATA_DIR) + "/EXPECTED.tsv");
  for (std::string line; std::getline(tsv, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::stringstream ss(line);
    std::string name, crc;
    std::size_t length = 0;
    std::getline(ss, name, '\t');
    ss >> crc >> length;
    expected[name] = {static_cast<std::uint32_t>(std::stoul(crc, nullptr, 16)), length};
  }
  ASSERT_EQ(expected.size(), 5u);
  for (const char* file : {"sample.arj", "fastest.arj"}) {
    SCOPED_TRACE(file);
    const std::string archive = std::string(DATA_DIR) + "/" + file;
    std::size_t files = 0;
    for (auto& e : ListArchive(archive)) {
      if (e.name.back() == '/') continue;
      ++files;
      ASSERT_TRUE(expected.count(e.name)) << e.name;
      EXPECT_EQ(e.crc, expected[e.name].first) << e.name;
    }
    EXPECT_EQ(files, expected.size());
    const fs::path out = Path(file);
    RunResult r = Unarj("x " + Q(archive) + " " + Q(out.string() + "/"));
    ASSERT_EQ(r.result, arc::kOk) << r.output;
    for (auto& [name, want] : expected) {
      const std::string data = ReadFile((out / name).string());
      EXPECT_EQ(Crc32(data), want.first) << name;
      EXPECT_EQ(data.size(), want.second) << name;
    }
  }
}

}  // namespace
}  // namespace unarjtest
