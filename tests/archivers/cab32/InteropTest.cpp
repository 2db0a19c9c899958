// Cabinets written by the library, stored and MSZIP, from varied inputs:
// cabextract -t passes them, and cabextract, gcab, 7zz and bsdtar give back
// every file bit for bit. The writer alone, with small folders, writes the
// same bytes whatever the number of workers.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "CabHarness.h"
#include "CabinetWriter.h"

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
    CheckEveryTool(archive, inputs, switches);
  }

  void CheckEveryTool(const std::string& archive, const std::map<std::string, std::string>& inputs,
                      const std::string& switches) {
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
      {"表示/ソース.txt", "表"},              // 表 and ソ end in the byte 0x5C in Shift-JIS
      {"edge/block.log", LogText(32768, 5)},  // ends exactly on a block
      {"edge/t1", "1"},
      {"edge/t22", "22"},
      {"edge/t333", "333"},
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

// Files written for the writer's own runs, in name order.
std::vector<cab::SourceFile> Sources(const fs::path& root,
                                     const std::map<std::string, std::string>& inputs) {
  std::vector<cab::SourceFile> files;
  for (auto& [name, data] : inputs) {
    WriteFile(root / name, data);
    struct stat st {};
    ::stat((root / name).c_str(), &st);
    files.push_back({(root / name).string(), name, st.st_mtime, data.size(), st.st_mode});
  }
  return files;
}

TEST_F(InteropTest, WriterBytesDoNotDependOnWorkersAcrossFolders) {
  struct Row {
    const char* what;
    std::map<std::string, std::string> inputs;
    bool store;
  };
  const Row rows[] = {
      {"MSZIP, blocks across files and folders",
       {{"a.log", LogText(70000, 1)},
        {"b.bin", RandomBytes(40000, 2)},
        {"c.empty", ""},
        {"d.log", LogText(100000, 3)},
        {"e.log", LogText(3, 4)}},
       false},
      {"stored, blocks across files and folders",
       {{"a.log", LogText(65537, 1)}, {"b.bin", RandomBytes(99999, 2)}, {"c.log", "c"}},
       true},
      {"empty files only: folders without blocks", {{"a.empty", ""}, {"b.empty", ""}}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    fs::remove_all(Path("src"));
    const auto files = Sources(Path("src"), row.inputs);
    std::string first;
    for (int threads : {1, 2, 8}) {
      const std::string name = P(std::to_string(threads) + ".cab");
      const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      ASSERT_GE(fd, 0);
      cab::CabinetWriterOptions options;
      options.store = row.store;
      options.threads = threads;
      options.folderBytes = 100000;
      const auto bytes = cab::WriteCabinet(fd, files, options, nullptr);
      ::close(fd);
      ASSERT_TRUE(bytes.has_value());
      EXPECT_EQ(*bytes, fs::file_size(name));
      if (threads == 1)
        first = ReadFile(name);
      else
        EXPECT_EQ(ReadFile(name), first) << threads;
    }
    CheckEveryTool(P("1.cab"), row.inputs, row.store ? "-m0" : "");
  }
}

}  // namespace
}  // namespace cabtest
