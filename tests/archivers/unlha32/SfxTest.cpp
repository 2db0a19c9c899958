// Command s: a self-extracting program that extracts into the folder it runs in.
#include "UnlhaHarness.h"

namespace unlhatest {
namespace {

class SfxTest : public TempDirTest {};

TEST_F(SfxTest, MadeProgramExtractsEveryFile) {
  WriteFile(Path("src/logs/a.log"), LogText(30000, 3));
  WriteFile(Path("src/b.bin"), RandomBytes(5000, 4));
  ASSERT_EQ(Unlha("a -+ -x1 -r1  " + Q(P("S.LZH")) + " " + Q(P("src/")) + " " + Q("*")).result,
            arc::kOk);
  RunResult r = Unlha("s -+  " + Q(P("S.LZH")) + " ");
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  ASSERT_TRUE(fs::exists(Path("S.EXE")));
  EXPECT_NE(fs::status(Path("S.EXE")).permissions() & fs::perms::owner_exec, fs::perms::none);
  fs::create_directories(Path("run"));
  auto run = RunCommand(ShellQuote(P("S.EXE")), P("run"));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(ReadFile(Path("run/logs/a.log")), LogText(30000, 3));
  EXPECT_EQ(ReadFile(Path("run/b.bin")), RandomBytes(5000, 4));
  EXPECT_EQ(ListFiles(Path("run")), (std::vector<std::string>{"b.bin", "logs/a.log"}));
  // Running again keeps the files (not newer) and succeeds.
  run = RunCommand(ShellQuote(P("S.EXE")), P("run"));
  ASSERT_EQ(run.status, 0) << run.output;
}

TEST_F(SfxTest, DamagedArchiveMakesNoProgram) {
  WriteFile(Path("S.LZH"), "not an archive");
  EXPECT_EQ(Unlha("s -+  " + Q(P("S.LZH")) + " ").result, arc::kNotArchive);
  EXPECT_FALSE(fs::exists(Path("S.EXE")));
}

}  // namespace
}  // namespace unlhatest
