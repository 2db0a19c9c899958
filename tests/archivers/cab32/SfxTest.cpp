// -f: a self-extracting program that runs from any folder and extracts into
// the folder it runs in or the one named on its command line.
#include "CabHarness.h"
#include "HostileCabinet.h"

namespace cabtest {
namespace {

class SfxTest : public TempDirTest {};

TEST_F(SfxTest, ProgramRunFromAnotherFolderExtractsEveryFile) {
  WriteFile(Path("src/logs/a.log"), LogText(300000, 3));
  WriteFile(Path("src/日本.bin"), RandomBytes(5000, 4));
  ASSERT_EQ(Cab("-a -r  " + Q(P("S.CAB")) + " " + Q(P("src/")) + " " + Q("*")).result, arc::kOk);
  RunResult r = Cab("-f  " + Q(P("S.CAB")) + " ");
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  ASSERT_TRUE(fs::exists(Path("S.EXE")));
  EXPECT_NE(fs::status(Path("S.EXE")).permissions() & fs::perms::owner_exec, fs::perms::none);
  // The program is moved away from the build and the cabinet, and run there.
  fs::create_directories(Path("elsewhere/run"));
  fs::rename(Path("S.EXE"), Path("elsewhere/S.EXE"));
  fs::remove(Path("S.CAB"));
  std::string log;
  ASSERT_EQ(Shell(Q(P("elsewhere/S.EXE")), Path("elsewhere/run"), &log), 0) << log;
  EXPECT_EQ(ReadFile(Path("elsewhere/run/logs/a.log")), LogText(300000, 3));
  EXPECT_EQ(ReadFile(Path("elsewhere/run/日本.bin")), RandomBytes(5000, 4));
  EXPECT_EQ(ListFiles(Path("elsewhere/run")), (std::vector<std::string>{"logs/a.log", "日本.bin"}));
  // Into a folder named on the command line, from the root folder.
  ASSERT_EQ(Shell(Q(P("elsewhere/S.EXE")) + " " + Q(P("named")), "/", &log), 0) << log;
  EXPECT_EQ(ReadFile(Path("named/logs/a.log")), LogText(300000, 3));
  // The library lists and extracts the program like the cabinet.
  EXPECT_EQ(List(P("elsewhere/S.EXE")).size(), 2u);
  ASSERT_EQ(Cab("-x  " + Q(P("elsewhere/S.EXE")) + " " + Q(P("again/"))).result, arc::kOk);
  EXPECT_EQ(ReadFile(Path("again/日本.bin")), RandomBytes(5000, 4));
}

TEST_F(SfxTest, ProgramExitsNonZeroOnARefusedName) {
  HostileCabinet c;
  c.Add("..\\up.txt", "up");
  c.Add("fine.txt", "fine");
  WriteFile(Path("B.CAB"), c.Build());
  ASSERT_EQ(Cab("-f  " + Q(P("B.CAB"))).result, arc::kOk);
  fs::create_directories(Path("run"));
  std::string log;
  EXPECT_EQ(Shell(Q(P("B.EXE")), Path("run"), &log), 1) << log;
  EXPECT_EQ(ReadFile(Path("run/fine.txt")), "fine");
  EXPECT_FALSE(fs::exists(Path("up.txt")));
}

TEST_F(SfxTest, NonCabinetMakesNoProgram) {
  WriteFile(Path("S.CAB"), "not a cabinet");
  EXPECT_EQ(Cab("-f  " + Q(P("S.CAB"))).result, arc::kNotArchive);
  EXPECT_FALSE(fs::exists(Path("S.EXE")));
}

}  // namespace
}  // namespace cabtest
