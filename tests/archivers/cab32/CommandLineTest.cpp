// The command line: commands, switches (-o, -i, -r, -j, -m0), stored names,
// the format's limits, atomic writes and the progress entry.
#include <sys/stat.h>
#include <utime.h>

#include <cstring>
#include <fstream>

#include "CabHarness.h"

namespace cabtest {
namespace {

class CommandLineTest : public TempDirTest {
 protected:
  std::vector<std::string> Names(const std::string& archive) {
    std::vector<std::string> n;
    for (const auto& e : List(archive)) n.push_back(e.FileName);
    return n;
  }
};
using V = std::vector<std::string>;

TEST_F(CommandLineTest, BadLinesAreRefusedWithoutWriting) {
  WriteFile(Path("a.log"), "a");
  struct Row {
    std::string line;
    std::int32_t result;
  } rows[] = {
      {"", arc::kBadCommand},
      {"-q " + Q(P("X.CAB")) + " " + Q(P("a.log")), arc::kBadCommand},
      {"-a  \"\" " + Q(P("a.log")), arc::kBadCommand},
      {"-a  " + Q(P("X.CAB")), arc::kBadCommand},
      {"-a -m7  " + Q(P("X.CAB")) + " " + Q(P("a.log")), arc::kBadCommand},
      {"-a  " + Q(P("X.CAB")) + " " + Q(P("none*.log")), arc::kNothingMatched},
      {"-a  " + Q(P("X.CAB")) + " \"unclosed", arc::kBadCommand},
      {"-x  " + Q(P("missing.cab")), arc::kNotArchive},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    RunResult r = Cab(row.line);
    EXPECT_EQ(r.result, row.result) << r.output;
    EXPECT_FALSE(r.output.empty());
    EXPECT_FALSE(fs::exists(Path("X.CAB")));
  }
}

TEST_F(CommandLineTest, StoredNamesFollowBaseFolderRecursionAndJ) {
  WriteFile(Path("src/a.log"), "a");
  WriteFile(Path("src/b.txt"), "b");
  WriteFile(Path("src/sub/c.log"), "c");
  WriteFile(Path("src/sub/deep/d.log"), "d");
  struct Row {
    std::string args;
    V names;
  } rows[] = {
      // Relative operands below the base folder keep their folders.
      {Q(P("src/")) + " \"*.log\" \"sub/c.log\"", V{"a.log", "sub/c.log"}},
      {"-r " + Q(P("src/")) + " \"*.log\"", V{"a.log", "sub/c.log", "sub/deep/d.log"}},
      {"-r -j " + Q(P("src/")) + " \"*.log\"", V{"a.log", "c.log", "d.log"}},
      // An absolute mask outside any base folder stores bare names; -r adds the folders below.
      {Q(P("src/*.log")), V{"a.log"}},
      {"-r " + Q(P("src/sub/*.log")), V{"c.log", "deep/d.log"}},
      // A folder operand stores every file below it under its name.
      {Q(P("src/")) + " \"sub\"", V{"sub/c.log", "sub/deep/d.log"}},
      {"-j " + Q(P("src/")) + " \"sub\"", V{"c.log", "d.log"}},
      // "." and ".." parts are not stored.
      {Q(P("src/sub/")) + " \"../a.log\" \"./c.log\"", V{"a.log", "c.log"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args);
    fs::remove(Path("N.CAB"));
    std::string rest = row.args;
    std::string switches;
    while (rest.rfind("-", 0) == 0) {
      switches += " " + rest.substr(0, rest.find(' '));
      rest = rest.substr(rest.find(' ') + 1);
    }
    RunResult r = Cab("-a" + switches + "  " + Q(P("N.CAB")) + " " + rest);
    ASSERT_EQ(r.result, arc::kOk) << r.output;
    auto names = Names(P("N.CAB"));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, row.names);
  }
}

TEST_F(CommandLineTest, ExtractHonoursOverwriteAndNoFolders) {
  WriteFile(Path("src/sub/a.log"), "new");
  ASSERT_EQ(Cab("-a  " + Q(P("E.CAB")) + " " + Q(P("src/")) + " \"sub/a.log\"").result, arc::kOk);
  // An existing file newer than the entry is kept without -o, replaced with it.
  WriteFile(Path("out/sub/a.log"), "mine");
  RunResult r = Cab("-x  " + Q(P("E.CAB")) + " " + Q(P("out/")));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(Path("out/sub/a.log")), "mine");
  r = Cab("-x -o -i  " + Q(P("E.CAB")) + " " + Q(P("out/")));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(Path("out/sub/a.log")), "new");
  // An older existing file is replaced without -o.
  WriteFile(Path("old/sub/a.log"), "old");
  utimbuf t{1000000000, 1000000000};
  ::utime(P("old/sub/a.log").c_str(), &t);
  ASSERT_EQ(Cab("-x  " + Q(P("E.CAB")) + " " + Q(P("old/"))).result, arc::kOk);
  EXPECT_EQ(ReadFile(Path("old/sub/a.log")), "new");
  // -j puts every file in the base folder itself; masks choose entries.
  ASSERT_EQ(Cab("-x -j  " + Q(P("E.CAB")) + " " + Q(P("flat/"))).result, arc::kOk);
  EXPECT_EQ(ListFiles(Path("flat")), V{"a.log"});
  EXPECT_EQ(Cab("-x  " + Q(P("E.CAB")) + " " + Q(P("none/")) + " \"*.txt\"").result,
            arc::kNothingMatched);
}

TEST_F(CommandLineTest, ExistingCabinetIsReplacedWholeOrKept) {
  WriteFile(Path("a.log"), "first");
  ASSERT_EQ(Cab("-a  " + Q(P("R.CAB")) + " " + Q(P("a.log"))).result, arc::kOk);
  const std::string before = ReadFile(Path("R.CAB"));
  // A failing run (nothing matched, a file over the limit) keeps every byte.
  EXPECT_EQ(Cab("-a  " + Q(P("R.CAB")) + " " + Q(P("none.log"))).result, arc::kNothingMatched);
  { std::ofstream big(Path("big.bin"), std::ios::binary); }
  fs::resize_file(Path("big.bin"), 0x7FFF8001);  // sparse: one byte over a folder's limit
  RunResult r = Cab("-a  " + Q(P("R.CAB")) + " " + Q(P("a.log")) + " " + Q(P("big.bin")));
  EXPECT_EQ(r.result, arc::kCannotWrite);
  EXPECT_NE(r.output.find("大きすぎて"), std::string::npos) << r.output;
  EXPECT_EQ(ReadFile(Path("R.CAB")), before);
  EXPECT_EQ(ListFiles(dir_), (V{"R.CAB", "a.log", "big.bin"}));
  // A new run writes the cabinet anew, without the archive inside itself.
  WriteFile(Path("b.log"), "second");
  ASSERT_EQ(Cab("-a  " + Q(P("R.CAB")) + " " + Q(P("*.log")) + " " + Q(P("*.CAB"))).result,
            arc::kOk);
  EXPECT_EQ(Names(P("R.CAB")), (V{"a.log", "b.log"}));
}

std::int32_t CancelAtSecond(void* user, const ArcProgress* p) {
  ++*static_cast<int*>(user);
  return p->filesDone >= 1 ? 1 : 0;
}

TEST_F(CommandLineTest, CancelLeavesNothingBehind) {
  const ArchiverLibrary& lib = kCab32;
  ASSERT_NE(lib.setProgress, nullptr);
  for (int i = 0; i < 5; ++i)
    WriteFile(Path("src/f" + std::to_string(i) + ".log"), LogText(1000, i));
  int calls = 0;
  lib.setProgress(&CancelAtSecond, &calls);
  RunResult r = Cab("-a  " + Q(P("C.CAB")) + " " + Q(P("src/*.log")));
  lib.setProgress(nullptr, nullptr);
  EXPECT_EQ(r.result, arc::kCancelled) << r.output;
  EXPECT_GT(calls, 0);
  EXPECT_EQ(ListFiles(dir_).size(), 5u);  // the sources only
  ASSERT_EQ(Cab("-a  " + Q(P("C.CAB")) + " " + Q(P("src/*.log"))).result, arc::kOk);
  lib.setProgress(&CancelAtSecond, &calls);
  r = Cab("-x  " + Q(P("C.CAB")) + " " + Q(P("out/")));
  lib.setProgress(nullptr, nullptr);
  EXPECT_EQ(r.result, arc::kCancelled) << r.output;
  EXPECT_LE(ListFiles(Path("out")).size(), 1u);
}

TEST_F(CommandLineTest, OutputIsCutToTheBufferAndNulTerminated) {
  WriteFile(Path("a.log"), "a");
  char small[8];
  std::memset(small, 'x', sizeof small);
  const ArchiverLibrary& lib = kCab32;
  const std::string line = "-a  " + Q(P("O.CAB")) + " " + Q(P("a.log"));
  EXPECT_EQ(lib.command(nullptr, line.c_str(), small, sizeof small), arc::kOk);
  EXPECT_EQ(std::strlen(small), sizeof small - 1);
  EXPECT_EQ(lib.command(nullptr, line.c_str(), nullptr, 0), arc::kOk);
}

}  // namespace
}  // namespace cabtest
