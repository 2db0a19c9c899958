// The "Tar" command line: the front end's exact lines, every switch, and
// what a failed or cancelled command leaves behind.
#include <cstring>

#include "TarHarness.h"

namespace tartest {
namespace {

class CommandLineTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    WriteFile(Path("logs/DR1101.log"), LogText(200000, 1));
    WriteFile(Path("logs/DR1102.log"), LogText(100000, 2));
    WriteFile(Path("logs/NA1101.log"), "other kind\n");
    WriteFile(Path("logs/.hidden"), "hidden\n");
    WriteFile(Path("logs/sub/DR1103.log"), "below\n");
  }
  std::set<std::string> Names(const std::string& archive) {
    std::set<std::string> names;
    for (auto& l : List(archive)) names.insert(l.name);
    return names;
  }
};

TEST_F(CommandLineTest, TheFrontEndsLineWithEmptyPiecesAndWindowsDelimiters) {
  // What Pack on a TTgz32 builds: command, -z, the empty user options, -f,
  // the archive, -o, the base folder with a backslash added, the mask, the
  // empty user file list.
  const std::string line =
      "c -z  -f " + Q(P("DR2611.tgz")) + " -o " + Q(P("logs") + "\\") + " \"DR11*.log\" ";
  auto r = Tar(line);
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(Type(P("DR2611.tgz")), 2);
  EXPECT_EQ(Names(P("DR2611.tgz")), (std::set<std::string>{"DR1101.log", "DR1102.log"}));
  r = Tar("x --display-dialog=0 -g --check-all-path=1 --use-directory=1  -f " + Q(P("DR2611.tgz")) +
          " -o " + Q(P("out") + "\\") + " ");
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(Path("out/DR1101.log")), ReadFile(Path("logs/DR1101.log")));
}

TEST_F(CommandLineTest, BadLinesAreRefusedWithAMessage) {
  const std::string a = Q(P("a.tar"));
  const std::vector<std::pair<std::string, std::int32_t>> rows = {
      {"", arc::kBadCommand},
      {"a -f " + a + " x", arc::kBadCommand},
      {"c", arc::kBadCommand},
      {"c -f " + a, arc::kBadCommand},  // nothing to pack
      {"c -z12 -f " + a + " " + Q(P("logs")), arc::kBadCommand},
      {"c --use-directory=7 -f " + a + " " + Q(P("logs")), arc::kBadCommand},
      {"c -f \"" + P("a.tar") + " x", arc::kBadCommand},  // unclosed quote
      {"c -f " + a + " " + Q(P("logs/none.log")), arc::kCannotRead},
      {"c -f " + a + " " + Q(P("logs/*.zip")), arc::kNothingMatched},
      {"x -f " + Q(P("missing.tar")), arc::kNotArchive},
      {"c -f " + a + " @" + P("no-such-list"), arc::kCannotRead},
  };
  for (const auto& [line, want] : rows) {
    auto r = Tar(line);
    EXPECT_EQ(r.result, want) << line << "\n" << r.output;
    EXPECT_FALSE(r.output.empty()) << line;
    EXPECT_FALSE(fs::exists(Path("a.tar"))) << line;
  }
}

TEST_F(CommandLineTest, CompressionLevelAndExtension) {
  ASSERT_EQ(Tar("c -z1 -f " + Q(P("1.tgz")) + " -o " + Q(P("logs/")) + " *.log").result, arc::kOk);
  ASSERT_EQ(Tar("c -z9 -f " + Q(P("9.tgz")) + " -o " + Q(P("logs/")) + " *.log").result, arc::kOk);
  EXPECT_LT(fs::file_size(Path("9.tgz")), fs::file_size(Path("1.tgz")));
  // Without a switch the extension decides; a switch wins over it.
  ASSERT_EQ(Tar("c -f " + Q(P("e.tbz2")) + " " + Q(P("logs/NA1101.log"))).result, arc::kOk);
  EXPECT_EQ(Type(P("e.tbz2")), 6);
  ASSERT_EQ(Tar("c -B -f " + Q(P("e.tar")) + " " + Q(P("logs/NA1101.log"))).result, arc::kOk);
  EXPECT_EQ(Type(P("e.tar")), 6);
  ASSERT_EQ(Tar("c -f " + Q(P("p.tar")) + " " + Q(P("logs/NA1101.log"))).result, arc::kOk);
  EXPECT_EQ(Type(P("p.tar")), 1);
}

TEST_F(CommandLineTest, StoredNamesFollowBaseFolderAndUseDirectory) {
  const std::string base = " -o " + Q(P("logs/"));
  ASSERT_EQ(Tar("c -f " + Q(P("a.tar")) + base + " sub *.log").result, arc::kOk);
  EXPECT_EQ(Names(P("a.tar")), (std::set<std::string>{"sub/", "sub/DR1103.log", "DR1101.log",
                                                      "DR1102.log", "NA1101.log"}));
  ASSERT_EQ(Tar("c --use-directory=0 -f " + Q(P("b.tar")) + base + " sub NA1101.log").result,
            arc::kOk);
  EXPECT_EQ(Names(P("b.tar")), (std::set<std::string>{"DR1103.log", "NA1101.log"}));
  // An absolute operand without a base folder keeps its folders, not its root.
  ASSERT_EQ(Tar("c -f " + Q(P("c.tar")) + " " + Q(P("logs/NA1101.log"))).result, arc::kOk);
  EXPECT_EQ(Names(P("c.tar")), (std::set<std::string>{P("logs/NA1101.log").substr(1)}));
  // x --use-directory=0 puts every file in the base folder itself.
  ASSERT_EQ(Tar("x --use-directory=0 -f " + Q(P("a.tar")) + " -o " + Q(P("flat/"))).result,
            arc::kOk);
  EXPECT_TRUE(fs::exists(Path("flat/DR1103.log")));
  EXPECT_FALSE(fs::exists(Path("flat/sub")));
  // Member masks choose what x extracts.
  ASSERT_EQ(Tar("x -f " + Q(P("a.tar")) + " -o " + Q(P("some/")) + " sub/*").result, arc::kOk);
  EXPECT_EQ(Tree(Path("some")).size(), 1u);
  EXPECT_EQ(Tar("x -f " + Q(P("a.tar")) + " -o " + Q(P("none/")) + " *.zip").result,
            arc::kNothingMatched);
}

TEST_F(CommandLineTest, HiddenFilesOnlyWithAH) {
  const std::string base = " -o " + Q(P("logs/"));
  ASSERT_EQ(Tar("c -I -f " + Q(P("i.tar")) + base + " *").result, arc::kOk);
  EXPECT_EQ(Names(P("i.tar")).count(".hidden"), 0u);
  ASSERT_EQ(Tar("c -AH -f " + Q(P("h.tar")) + base + " *").result, arc::kOk);
  EXPECT_EQ(Names(P("h.tar")).count(".hidden"), 1u);
}

TEST_F(CommandLineTest, TheArchiveIsNeverPackedIntoItself) {
  ASSERT_EQ(Tar("c -f " + Q(P("logs/self.tar")) + " -o " + Q(P("logs/")) + " *").result, arc::kOk);
  ASSERT_EQ(Tar("c -f " + Q(P("logs/self.tar")) + " -o " + Q(P("logs/")) + " *").result, arc::kOk);
  EXPECT_EQ(Names(P("logs/self.tar")).count("self.tar"), 0u);
}

TEST_F(CommandLineTest, OutputBufferIsCutAndNulTerminated) {
  const std::string line = "c -f " + Q(P("o.tar")) + " -o " + Q(P("logs/")) + " *.log";
  auto r = Tar(line, 0);
  EXPECT_EQ(r.result, arc::kOk);
  std::vector<char> small(8, 'x');
  EXPECT_EQ(kTar32.command(nullptr, line.c_str(), small.data(), 5), arc::kOk);
  EXPECT_EQ(std::strlen(small.data()), 3u);  // cut before the character that does not fit
  EXPECT_EQ(small[5], 'x');
}

int CancelAfterSomeBytes(void* user, const ArcProgress* p) {
  return p->bytesDone > *static_cast<std::uint64_t*>(user) ? 1 : 0;
}

TEST_F(CommandLineTest, FailedOrCancelledCreationLeavesTheOldArchive) {
  const ArchiverLibrary& lib = kTar32;
  ASSERT_NE(lib.setProgress, nullptr);
  ASSERT_EQ(Tar("c -z -f " + Q(P("keep.tgz")) + " " + Q(P("logs/NA1101.log"))).result, arc::kOk);
  const std::string before = ReadFile(Path("keep.tgz"));
  // A missing operand after good ones.
  auto r = Tar("c -z -f " + Q(P("keep.tgz")) + " -o " + Q(P("logs/")) + " *.log gone.log");
  EXPECT_EQ(r.result, arc::kCannotRead) << r.output;
  EXPECT_EQ(ReadFile(Path("keep.tgz")), before);
  // Cancelled half-way through the data.
  std::uint64_t limit = 150000;
  lib.setProgress(&CancelAfterSomeBytes, &limit);
  r = Tar("c -z -f " + Q(P("keep.tgz")) + " -o " + Q(P("logs/")) + " *.log");
  lib.setProgress(nullptr, nullptr);
  EXPECT_EQ(r.result, arc::kCancelled) << r.output;
  EXPECT_EQ(ReadFile(Path("keep.tgz")), before);
  for (auto& e : fs::directory_iterator(dir_))
    EXPECT_TRUE(e.path().filename() == "keep.tgz" || e.path().filename() == "logs") << e.path();
}

}  // namespace
}  // namespace tartest
