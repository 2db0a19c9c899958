// Extraction never writes outside its base folder: ".." is refused
// (kUnsafeName), absolute names lose their root (kWarning), links in the
// archive are never created and links on disk never followed; set-id bits
// of a member never reach the disk.
#include <sys/stat.h>

#include "UnlhaHarness.h"
#include "lzh/Crc16.h"
#include "lzharc/HeaderWriter.h"

namespace unlhatest {
namespace {

// One stored member with raw name bytes.
std::string StoredMember(const std::string& dirName, const std::string& fileName,
                         const std::string& data, std::uint16_t mode = 0100644) {
  lzh::NewEntryHeader h;
  h.method = "-lh0-";
  h.packedSize = h.originalSize = data.size();
  h.unixTime = 1700000000;
  h.dataCrc = lzh::crc16(0, reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
  h.unixMode = mode;
  h.fileName = fileName;
  h.dirName = dirName;
  auto bytes = lzh::BuildLevel2Header(h);
  return std::string(bytes.begin(), bytes.end()) + data;
}

class SafetyTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    fs::create_directories(Path("box/out"));
  }
  RunResult Extract(const std::string& archiveBytes, const std::string& cmd = "x") {
    WriteFile(Path("H.LZH"), archiveBytes);
    return Unlha(cmd + " -+ -c1  " + Q(P("H.LZH")) + " " + Q(P("box/out/")));
  }
  // Everything under box/ except what is inside box/out/.
  std::vector<std::string> Outside() {
    std::vector<std::string> out;
    for (auto& f : ListFiles(Path("box")))
      if (f.rfind("out/", 0) != 0) out.push_back(f);
    return out;
  }
};

TEST_F(SafetyTest, ParentNamesAreRefusedOthersExtracted) {
  const std::string archive = StoredMember("..\xFF", "up.txt", "up") +
                              StoredMember("sub\xFF..\xFF..\xFF", "up2.txt", "up2") +
                              StoredMember("", "..\\..\\win.txt", "win") +
                              StoredMember(
                                  "\xFF"
                                  "abs\xFF..\xFF",
                                  "abs.txt", "abs") +
                              StoredMember("ok\xFF", "fine.txt", "fine") + std::string(1, '\0');
  for (const char* cmd : {"x", "e"}) {
    SCOPED_TRACE(cmd);
    RunResult r = Extract(archive, cmd);
    EXPECT_EQ(r.result, arc::kUnsafeName) << r.output;
    EXPECT_TRUE(Outside().empty());
  }
  EXPECT_EQ(ReadFile(Path("box/out/ok/fine.txt")), "fine");
  EXPECT_EQ(ReadFile(Path("box/out/fine.txt")), "fine");  // e: no folders
  EXPECT_EQ(ListFiles(Path("box/out")), (std::vector<std::string>{"fine.txt", "ok/fine.txt"}));
}

TEST_F(SafetyTest, AbsoluteNamesLandBelowTheBaseFolderWithAWarning) {
  const std::string abs = P("box/abs.txt");
  const std::string archive = StoredMember("\xFF" + P("box").substr(1) + "\xFF", "abs.txt", "abs") +
                              StoredMember("", "\\dir\\dos.txt", "dos") +
                              StoredMember("", "/Volume/dir/file", "mac") +
                              StoredMember("", "C:\\drive.txt", "c") + std::string(1, '\0');
  RunResult r = Extract(archive);
  EXPECT_EQ(r.result, arc::kWarning) << r.output;
  EXPECT_TRUE(Outside().empty());
  EXPECT_FALSE(fs::exists(abs));
  EXPECT_EQ(ReadFile(Path("box/out/" + P("box").substr(1) + "/abs.txt")), "abs");
  EXPECT_EQ(ReadFile(Path("box/out/dir/dos.txt")), "dos");
  EXPECT_EQ(ReadFile(Path("box/out/Volume/dir/file")), "mac");
  EXPECT_EQ(ReadFile(Path("box/out/drive.txt")), "c");
  EXPECT_NE(r.output.find("展開  dir/dos.txt: 絶対パスの先頭の / を除きました"), std::string::npos)
      << r.output;
}

TEST_F(SafetyTest, LinksOnDiskAreNotFollowed) {
  fs::create_directories(Path("box/target"));
  fs::create_directory_symlink(Path("box/target"), Path("box/out/linkdir"));
  fs::create_symlink(Path("box/victim.txt"), Path("box/out/file.txt"));
  WriteFile(Path("box/victim.txt"), "victim");
  const std::string archive = StoredMember("linkdir\xFF", "through.txt", "bad") +
                              StoredMember("", "file.txt", "new") + std::string(1, '\0');
  RunResult r = Extract(archive);
  EXPECT_EQ(r.result, arc::kUnsafeName) << r.output;
  EXPECT_TRUE(fs::is_empty(Path("box/target")));
  EXPECT_EQ(ReadFile(Path("box/victim.txt")), "victim");
  // The link itself was replaced by the member, its target untouched.
  EXPECT_FALSE(fs::is_symlink(Path("box/out/file.txt")));
  EXPECT_EQ(ReadFile(Path("box/out/file.txt")), "new");
}

TEST_F(SafetyTest, SetIdBitsAreDropped) {
  const std::string archive = StoredMember("", "suid", "u", 0104755) +
                              StoredMember("", "sgid", "g", 0102755) + std::string(1, '\0');
  RunResult r = Extract(archive);
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  for (const char* name : {"suid", "sgid"}) {
    struct stat st {};
    ASSERT_EQ(::stat(P(std::string("box/out/") + name).c_str(), &st), 0) << name;
    EXPECT_EQ(st.st_mode & 07777, 0755u) << name << ": mode " << std::oct << (st.st_mode & 07777);
  }
}

TEST_F(SafetyTest, CorpusHostileArchives) {
  const std::string corpus = CorpusDir("lzh") + "/regression/";
  struct Case {
    const char* file;
    std::int32_t result;
  } cases[] = {
      {"abspath.lzh", arc::kWarning},  {"dotdot.lzh", arc::kUnsafeName},
      {"symlink1.lzh", arc::kWarning}, {"symlink2.lzh", arc::kWarning},
      {"symlink3.lzh", arc::kWarning}, {"truncated.lzh", arc::kNotArchive},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    fs::remove_all(Path("box"));
    fs::create_directories(Path("box/out"));
    RunResult r = Unlha("x -+ -c1  " + Q(corpus + c.file) + " " + Q(P("box/out/")));
    EXPECT_EQ(r.result, c.result) << r.output;
    EXPECT_TRUE(Outside().empty());
    for (auto& f : ListFiles(Path("box/out")))
      EXPECT_FALSE(fs::is_symlink(Path("box/out/" + f))) << f;
  }
}

TEST_F(SafetyTest, TerminalEscapesNeverReachTheReport) {
  RunResult r = Unlha("l -+  " + Q(CorpusDir("lzh") + "/regression/badterm.lzh"));
  EXPECT_EQ(r.result, arc::kOk);
  EXPECT_EQ(r.output.find('\x1b'), std::string::npos);
}

}  // namespace
}  // namespace unlhatest
