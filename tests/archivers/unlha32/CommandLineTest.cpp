// Command lines exactly as the front end builds them, read by the shared
// parser, and run through the library to check the stored names.
#include <map>

#include "UnlhaHarness.h"
#include "common/CommandLine.h"

namespace unlhatest {
namespace {

const std::vector<std::string> kKnown = {"a",   "c",  "r",  "w", "x", "jm", "jo",
                                         "job", "jx", "jz", "o", "z", "k"};

struct Row {
  const char* label;
  const char* line;
  const char* command;
  const char* archive;
  const char* baseDir;
  std::vector<std::string> files;
  std::vector<std::string> switches;  // "name=value" of the known ones, in order
};

std::vector<std::string> Known(const arc::CommandLine& c) {
  std::vector<std::string> out;
  for (auto& s : c.switches)
    if (s.known) out.push_back(s.name + "=" + s.value);
  return out;
}

TEST(CommandLineParser, ReadsWhatTheBuilderBuilds) {
  const std::vector<Row> rows = {
      {"product worked example",
       "u -+ -x1  \"/var/log/pelsok/DR2611.LZH\" \"/var/log/pelsok/DR11*.log\" ",
       "u",
       "/var/log/pelsok/DR2611.LZH",
       "",
       {"/var/log/pelsok/DR11*.log"},
       {"x=1"}},
      {"base folder after the archive",
       "x -+  \"A.LZH\" \"/out/dir/\" \"*.log\" ",
       "x",
       "A.LZH",
       "/out/dir/",
       {"*.log"},
       {}},
      {"an operand ending in a delimiter later is a folder operand",
       "a -+  \"A.LZH\" \"b.log\" \"sub/\" ",
       "a",
       "A.LZH",
       "",
       {"b.log", "sub/"},
       {}},
      {"quoted whole switches with values",
       "u -+ \"-jzabc\" \"-jo\" \"-w/tmp/w/\"  \"A.LZH\" \"f\" ",
       "u",
       "A.LZH",
       "",
       {"f"},
       {"jz=abc", "jo=", "w=/tmp/w/"}},
      {"numeric switches and the longest name",
       "a -+ -r2 -jm9 -x0 -a1 -o5  \"A.LZH\" \"f\" ",
       "a",
       "A.LZH",
       "",
       {"f"},
       {"r=2", "jm=9", "x=0", "a=1", "o=5"}},
      {"jx list lines",
       "a -+ \"-jx*.tmp\" \"-jx*.bak\"  \"A.LZH\" \"f\" ",
       "a",
       "A.LZH",
       "",
       {"f"},
       {"jx=*.tmp", "jx=*.bak"}},
      {"empty pieces and no file list (s)", "s -+  \"A.LZH\" ", "s", "A.LZH", "", {}, {}},
      {"empty quoted operand skipped", "a -+  \"A.LZH\" \"\" \"f\" ", "a", "A.LZH", "", {"f"}, {}},
      {"unknown switches ignored",
       "a -+ -q7 \"-zz\" -x1  \"A.LZH\" \"f\" ",
       "a",
       "A.LZH",
       "",
       {"f"},
       {"z=z", "x=1"}},
      {"user file list after the quoted names",
       "a -+ -x1  \"A.LZH\" \"f\" g -r1",
       "a",
       "A.LZH",
       "",
       {"f", "g"},
       {"x=1", "r=1"}},
      {"quoted operand after the archive beginning with '-' is a file",
       "a -+  \"A.LZH\" \"-odd.log\" ",
       "a",
       "A.LZH",
       "",
       {"-odd.log"},
       {}},
      {"a double quote inside a name (the front end never escapes one)",
       "u -+ -x1  \"/log/a\"b/DR2611.LZH\" \"/log/a\"b/DR11*.log\" ",
       "u",
       "/log/a\"b/DR2611.LZH",
       "",
       {"/log/a\"b/DR11*.log"},
       {"x=1"}},
      {"names with blanks and Japanese text",
       "a -+  \"/tmp/日本 語/A.LZH\" \"/tmp/日本 語/ログ 1.log\" ",
       "a",
       "/tmp/日本 語/A.LZH",
       "",
       {"/tmp/日本 語/ログ 1.log"},
       {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    arc::CommandLine c;
    auto err = arc::ParseCommandLine(row.line, kKnown, nullptr, c);
    ASSERT_FALSE(err.has_value()) << err->message;
    EXPECT_EQ(c.command, row.command);
    ASSERT_TRUE(c.archive.has_value());
    EXPECT_EQ(*c.archive, row.archive);
    EXPECT_EQ(c.baseDir, row.baseDir);
    EXPECT_EQ(c.files, row.files);
    EXPECT_EQ(Known(c), row.switches);
  }
}

TEST(CommandLineParser, RefusesWhatItCannotRead) {
  arc::CommandLine c;
  auto err = arc::ParseCommandLine("", kKnown, nullptr, c);
  ASSERT_TRUE(err);
  EXPECT_EQ(err->result, arc::kBadCommand);
  err = arc::ParseCommandLine("a -+  \"A.LZH\" \"f", kKnown, nullptr, c);
  ASSERT_TRUE(err);
  EXPECT_EQ(err->result, arc::kBadCommand);
  // An empty archive name stays empty (the library refuses it), never the mask.
  err = arc::ParseCommandLine("u -+ -x1  \"\" \"mask\" ", kKnown, nullptr, c);
  ASSERT_FALSE(err);
  EXPECT_EQ(c.archive.value(), "");
  EXPECT_EQ(c.files, std::vector<std::string>{"mask"});
}

TEST(CommandLineParser, ExpandsResponseFiles) {
  std::map<std::string, std::string> files = {
      {"/tmp/list.txt", "\"/var/log/a 1.log\"\r\n\"/var/log/b.log\"\r\n\r\nplain.log\r\n"},
  };
  auto reader = [&](const std::string& n) -> std::optional<std::string> {
    auto it = files.find(n);
    if (it == files.end()) return std::nullopt;
    return it->second;
  };
  arc::CommandLine c;
  auto err =
      arc::ParseCommandLine("u -+ -x1  \"A.LZH\" \"@/tmp/list.txt\" \"c.log\" ", kKnown, reader, c);
  ASSERT_FALSE(err) << err->message;
  EXPECT_EQ(c.files,
            (std::vector<std::string>{"/var/log/a 1.log", "/var/log/b.log", "plain.log", "c.log"}));
  err = arc::ParseCommandLine("u -+  \"A.LZH\" \"@/tmp/missing.txt\" ", kKnown, reader, c);
  ASSERT_TRUE(err);
  EXPECT_EQ(err->result, arc::kCannotRead);
}

// The library reads the same lines: stored names per -x0/-x1 and base folder.
class CommandLineThroughLibrary : public TempDirTest {
 protected:
  std::vector<std::string> Names(const std::string& archive) {
    std::vector<std::string> names;
    const ArchiverLibrary& lib = kUnlha32;
    ArcHandle h = lib.open(nullptr, archive.c_str(), 0);
    EXPECT_NE(h, 0);
    TArchiveEntryInfo info{};
    for (int r = lib.findFirst(h, "*.*", &info); r == 0; r = lib.findNext(h, &info))
      names.push_back(info.FileName);
    lib.close(h);
    return names;
  }
};

TEST_F(CommandLineThroughLibrary, StoredNamesFollowTheSwitchesAndBaseFolder) {
  WriteFile(Path("srv/LOG/DR0715.log"), "fifteen\n");
  WriteFile(Path("srv/LOG/DR0716.log"), "sixteen\n");
  WriteFile(Path("srv/LOG/other.log"), "other\n");
  WriteFile(Path("srv/LOG/sub/DR0717.log"), "below\n");
  WriteFile(Path("list.txt"),
            Q(P("srv/LOG/DR0716.log")) + "\r\n" + Q(P("srv/LOG/other.log")) + "\r\n");
  const std::string root = P("srv/LOG/").substr(1);  // the mask's folder without the root
  struct Case {
    const char* label;
    std::string line;
    std::vector<std::string> names;
  } cases[] = {
      {"product line: -x1, no base folder",
       "u -+ -x1  " + Q(P("a.LZH")) + " " + Q(P("srv/LOG/DR07*.log")) + " ",
       {root + "DR0715.log", root + "DR0716.log"}},
      {"-x0: bare names",
       "u -+ -x0  " + Q(P("b.LZH")) + " " + Q(P("srv/LOG/DR07*.log")) + " ",
       {"DR0715.log", "DR0716.log"}},
      {"base folder: relative names",
       "a -+ -x1 -r1  " + Q(P("c.LZH")) + " " + Q(P("srv/")) + " " + Q("LOG/DR07*.log"),
       {"LOG/DR0715.log", "LOG/DR0716.log", "LOG/sub/DR0717.log"}},
      {"response file",
       "u -+ -x0  " + Q(P("d.LZH")) + " " + Q("@" + P("list.txt")) + " ",
       {"DR0716.log", "other.log"}},
      {"empty piece between switches",
       "u -+  -x1 " + Q(P("e.LZH")) + " " + Q(P("srv/LOG/DR0715.log")),
       {root + "DR0715.log"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    RunResult r = Unlha(c.line);
    ASSERT_EQ(r.result, arc::kOk) << r.output;
    const std::string archive = c.line.substr(
        c.line.find('"') + 1, c.line.find('"', c.line.find('"') + 1) - c.line.find('"') - 1);
    EXPECT_EQ(Names(archive), c.names);
  }
}

TEST_F(CommandLineThroughLibrary, BadLinesGiveBadCommand) {
  WriteFile(Path("f.log"), "x");
  EXPECT_EQ(Unlha("q -+  " + Q(P("a.LZH")) + " " + Q(P("f.log"))).result, arc::kBadCommand);
  EXPECT_EQ(Unlha("u -+ -x1  \"\" " + Q(P("f.log"))).result, arc::kBadCommand);
  EXPECT_EQ(Unlha("u -+ -jm0  " + Q(P("a.LZH")) + " " + Q(P("f.log"))).result, arc::kBadCommand);
  EXPECT_EQ(Unlha("u -+ \"-jo26x101\"  " + Q(P("a.LZH")) + " " + Q(P("f.log"))).result,
            arc::kBadCommand);
  EXPECT_EQ(Unlha("u -+ -o3  " + Q(P("a.LZH")) + " " + Q(P("f.log"))).result, arc::kBadCommand);
  EXPECT_FALSE(fs::exists(Path("a.LZH")));
}

}  // namespace
}  // namespace unlhatest
