// Damaged archives give error results and leave nothing half-written; a
// failed update leaves the old archive byte for byte.
#include "UnlhaHarness.h"

namespace unlhatest {
namespace {

class DamageTest : public TempDirTest {
 protected:
  // A two-member archive: a.log then b.log, both compressed.
  std::string MakeArchive() {
    WriteFile(Path("src/a.log"), LogText(50000, 1));
    WriteFile(Path("src/b.log"), LogText(50000, 2));
    RunResult r =
        Unlha("a -+ -o5  " + Q(P("G.LZH")) + " " + Q(P("src/a.log")) + " " + Q(P("src/b.log")));
    EXPECT_EQ(r.result, arc::kOk) << r.output;
    return ReadFile(Path("G.LZH"));
  }
  // Extracts `bytes` written as D.LZH into a fresh folder.
  RunResult ExtractDamaged(const std::string& bytes, const std::string& out) {
    WriteFile(Path("D.LZH"), bytes);
    return Unlha("x -+  " + Q(P("D.LZH")) + " " + Q(P(out)));
  }
  // Where the second member's header starts.
  std::size_t SecondHeader(const std::string& g) {
    std::size_t first = g.find("-lh5-");
    return g.find("-lh5-", first + 1) - 2;
  }
};

TEST_F(DamageTest, TruncatedArchivesAreRefusedWithoutGarbage) {
  const std::string g = MakeArchive();
  const std::size_t cuts[] = {1, 10, 30, g.size() / 2, SecondHeader(g) + 10, g.size() - 2};
  int n = 0;
  for (std::size_t cut : cuts) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    const std::string out = "t" + std::to_string(n++) + "/";
    RunResult r = ExtractDamaged(g.substr(0, cut), out);
    EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
    EXPECT_TRUE(ListFiles(Path(out)).empty());
    EXPECT_EQ(Unlha("t -+  " + Q(P("D.LZH"))).result, arc::kNotArchive);
    EXPECT_EQ(kUnlha32.open(nullptr, P("D.LZH").c_str(), 0), 0);
  }
}

TEST_F(DamageTest, FlippedHeaderBitsAreCaughtByTheHeaderCrc) {
  const std::string g = MakeArchive();
  for (std::size_t at :
       {std::size_t{7}, std::size_t{12}, std::size_t{21}, std::size_t{30}, SecondHeader(g) + 15}) {
    SCOPED_TRACE("flip at " + std::to_string(at));
    std::string bad = g;
    bad[at] = static_cast<char>(bad[at] ^ 0x10);
    const std::string out = "h" + std::to_string(at) + "/";
    RunResult r = ExtractDamaged(bad, out);
    EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
    EXPECT_TRUE(ListFiles(Path(out)).empty());
  }
}

TEST_F(DamageTest, DamagedDataLeavesOnlyTheGoodMembers) {
  const std::string g = MakeArchive();
  const std::size_t second = SecondHeader(g);
  // Inside a.log's data and in b.log's stored CRC.
  std::string bad = g;
  bad[second / 2] = static_cast<char>(bad[second / 2] ^ 0x55);
  RunResult r = ExtractDamaged(bad, "d1/");
  EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
  EXPECT_EQ(ListFiles(Path("d1")), std::vector<std::string>{"b.log"});
  EXPECT_EQ(Unlha("t -+  " + Q(P("D.LZH"))).result, arc::kNotArchive);
}

TEST_F(DamageTest, WrongDataCrcIsAnError) {
  // A stored member whose header CRC is good but whose data CRC is wrong:
  // rewrite the data CRC of a -lh0- member and fix up the header CRC.
  WriteFile(Path("s.txt"), "stored text");
  ASSERT_EQ(Unlha("a -+ -z1  " + Q(P("S.LZH")) + " " + Q(P("s.txt"))).result, arc::kOk);
  std::string g = ReadFile(Path("S.LZH"));
  g[g.size() - 2] ^= 1;  // last data byte (before the end mark): it no longer matches its CRC
  RunResult r = ExtractDamaged(g, "w/");
  EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
  EXPECT_NE(r.output.find("CRC"), std::string::npos);
  EXPECT_TRUE(ListFiles(Path("w")).empty());
}

TEST_F(DamageTest, UpdateOfDamagedArchiveChangesNothing) {
  std::string g = MakeArchive();
  g.resize(g.size() / 2);
  WriteFile(Path("D.LZH"), g);
  WriteFile(Path("new.log"), "new");
  EXPECT_EQ(Unlha("u -+  " + Q(P("D.LZH")) + " " + Q(P("new.log"))).result, arc::kNotArchive);
  EXPECT_EQ(ReadFile(Path("D.LZH")), g);
  WriteFile(Path("T.LZH"), "this is a text file, not an archive");
  EXPECT_EQ(Unlha("u -+  " + Q(P("T.LZH")) + " " + Q(P("new.log"))).result, arc::kNotArchive);
  EXPECT_EQ(ReadFile(Path("T.LZH")), "this is a text file, not an archive");
}

TEST_F(DamageTest, FailedUpdateLeavesTheOldArchiveByteForByte) {
  const std::string g = MakeArchive();
  WriteFile(Path("c.log"), "more");
  // A source whose read fails half-way: the kernel refuses reads of this
  // process's own memory file at offset 0.
  RunResult r =
      Unlha("u -+ -x0  " + Q(P("G.LZH")) + " " + Q(P("c.log")) + " " + Q("/proc/self/mem"));
  EXPECT_EQ(r.result, arc::kCannotRead) << r.output;
  EXPECT_EQ(ReadFile(Path("G.LZH")), g);
  // A work folder that does not exist.
  r = Unlha("u -+ \"-w" + P("no/such/folder/") + "\"  " + Q(P("G.LZH")) + " " + Q(P("c.log")));
  EXPECT_EQ(r.result, arc::kCannotWrite) << r.output;
  EXPECT_EQ(ReadFile(Path("G.LZH")), g);
  // A folder that cannot take the new archive.
  fs::create_directories(Path("ro"));
  fs::copy_file(Path("G.LZH"), Path("ro/G.LZH"));
  r = Unlha("u -+ \"-w/proc/\"  " + Q(P("ro/G.LZH")) + " " + Q(P("c.log")));
  EXPECT_EQ(r.result, arc::kCannotWrite) << r.output;
  EXPECT_EQ(ReadFile(Path("ro/G.LZH")), g);
  // No temporary file is left behind.
  for (auto& f : ListFiles(dir_)) EXPECT_EQ(f.find(".tmp"), std::string::npos) << f;
}

TEST_F(DamageTest, WorkFolderOnAnotherFileSystemStillWorks) {
  if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no /dev/shm here";
  const std::string g = MakeArchive();
  WriteFile(Path("c.log"), "more");
  RunResult r = Unlha("u -+ \"-w/dev/shm/\"  " + Q(P("G.LZH")) + " " + Q(P("c.log")));
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(Unlha("t -+  " + Q(P("G.LZH"))).result, arc::kOk);
}

}  // namespace
}  // namespace unlhatest
