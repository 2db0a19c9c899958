// Generated hostile archives: names that climb out or start at the root, a
// link member, wrong CRCs, data cut short, a false size, control characters.
// Nothing lands outside the base folder and nothing half-written stays.
#include <cstring>

#include "Rar5Builder.h"
#include "UnrarHarness.h"

namespace unrartest {
namespace {

class HostileTest : public UnrarTest {
 protected:
  RunResult Extract(const RarBuilder& b, std::size_t cut = 0, const std::string& cmd = "-x -u") {
    const std::string archive = Write("in/hostile.rar", b.Build(cut));
    return Unrar(cmd + "  " + Q(archive) + " " + Q(P("base/")));
  }
  // Everything under the temporary folder except the archive itself.
  std::vector<std::string> Written() {
    std::vector<std::string> names;
    for (const auto& [name, _] : Tree(dir_))
      if (name.rfind("in/", 0) != 0) names.push_back(name);
    return names;
  }
};

TEST_F(HostileTest, NamesOutsideTheBaseFolderAreRefused) {
  struct Row {
    std::string name;
  } rows[] = {{"../evil.txt"},   {"..\\evil.txt"}, {"a\\..\\..\\evil.txt"}, {"a/../../evil.txt"},
              {"/tmp/evil.txt"}, {"\\evil.txt"},   {"C:\\evil.txt"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    RarBuilder b;
    b.Add(StoredMember("good.txt", "kept")).Add(StoredMember(row.name, "evil"));
    const RunResult r = Extract(b);
    EXPECT_EQ(r.result, arc::kUnsafeName) << r.output;
    EXPECT_NE(r.output.find("拒否  "), std::string::npos) << r.output;
    EXPECT_EQ(Written(), (std::vector<std::string>{"base/", "base/good.txt"})) << r.output;
    fs::remove_all(P("base"));
  }
}

TEST_F(HostileTest, LinksAreNotCreated) {
  RarBuilder b;
  b.Add(StoredMember("link", "/etc/passwd").WithUnixMode(0120777u))
      .Add(StoredMember("link/x.txt", "through"));
  const std::string before = ReadFile("/etc/passwd");
  const RunResult r = Extract(b);
  EXPECT_EQ(r.result, arc::kWarning) << r.output;
  EXPECT_NE(r.output.find("省略  link"), std::string::npos) << r.output;
  // The link is not made, so the second member lands in a real folder.
  EXPECT_FALSE(fs::is_symlink(P("base/link")));
  EXPECT_EQ(ReadFile(P("base/link/x.txt")), "through");
  EXPECT_EQ(ReadFile("/etc/passwd"), before);
}

TEST_F(HostileTest, DamagedDataLeavesNoFile) {
  const std::string big(300000, 'L');
  struct Row {
    const char* what;
    StoredMember member;
    std::size_t cut;
  } rows[] = {
      {"wrong CRC", StoredMember("a.log", big).WithCrc(0xDEADBEEFu), 0},
      {"data cut short", StoredMember("a.log", big), 100000},
      {"header cut short", StoredMember("a.log", "tiny"), 20},
      {"size claims more than the data", StoredMember("a.log", "tiny").WithClaimedSize(0xFFFFFFF0u),
       0},
      {"size claims less than the data", StoredMember("a.log", big).WithClaimedSize(10u), 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    RarBuilder b;
    b.Add(row.member);
    const RunResult r = Extract(b, row.cut);
    EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
    // A member whose header is cut short has no name to report yet.
    EXPECT_NE(r.output.find(row.cut == 20 ? "書庫が壊れています" : "a.log"), std::string::npos)
        << r.output;
    for (const auto& name : Written()) EXPECT_EQ(name, "base/") << r.output;
    const RunResult t = Extract(b, row.cut, "-t");
    EXPECT_EQ(t.result, arc::kNotArchive) << t.output;
    fs::remove_all(P("base"));
  }
}

// A damaged member of an archive that is not solid does not end the run: the
// members after it are still extracted and tested.
TEST_F(HostileTest, MembersAfterADamagedOneAreStillRead) {
  struct Row {
    const char* archive;
    std::size_t flipAt;  // inside the first member's data
  } rows[] = {{"Rar4.rar", 5000}, {"Rar5.none.rar", 20000}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.archive);
    std::string bytes = ReadFile(Data(row.archive));
    bytes[row.flipAt] = static_cast<char>(bytes[row.flipAt] ^ 0x55);
    const std::string archive = Write("in/damaged.rar", bytes);
    const RunResult r = Unrar("-x -u  " + Q(archive) + " " + Q(P("base/")));
    EXPECT_EQ(r.result, arc::kNotArchive) << r.output;
    EXPECT_NE(r.output.find("exe/test.exe"), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(P("base/exe/test.exe")));
    EXPECT_EQ(ReadFile(P("base/jpg/test.jpg")).size(), 40372u) << r.output;
    EXPECT_EQ(ReadFile(P("base/тест.txt")).size(), 15498u) << r.output;
    const RunResult t = Unrar("-t  " + Q(archive));
    EXPECT_EQ(t.result, arc::kNotArchive) << t.output;
    EXPECT_NE(t.output.find("正常  тест.txt"), std::string::npos) << t.output;
    fs::remove_all(P("base"));
  }
}

// RAR 5 headers with bytes after the fields a reader knows are read by
// their size, as unar does: every member is extracted whole.
TEST_F(HostileTest, Rar5HeadersWithUnknownTrailingBytesAreRead) {
  const std::string archive =
      Write("in/trailing.rar", Rar5Builder()
                                   .Add("a.log", "alpha\n", std::string("\x01\x02\x03", 3))
                                   .Add("b.log", "beta\n")
                                   .Build());
  const RunResult r = Unrar("-x -u  " + Q(archive) + " " + Q(P("base/")));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(P("base/a.log")), "alpha\n");
  EXPECT_EQ(ReadFile(P("base/b.log")), "beta\n");
  EXPECT_EQ(List(archive).size(), 2u);
}

// A Unix mode with no file-type bits is a regular file, as ZIP takes it.
TEST_F(HostileTest, AModeWithoutTypeBitsIsAFile) {
  RarBuilder b;
  b.Add(StoredMember("plain.txt", "plain").WithUnixMode(0644u));
  const RunResult r = Extract(b);
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(P("base/plain.txt")), "plain");
}

// A RAR 2.9-4 member longer than its dictionary is one this build's decoder
// gets wrong: its failure is no proof of damage, so the member is reported
// as one this build cannot decode, with its method and dictionary.
TEST_F(HostileTest, AMemberLongerThanItsDictionaryIsNotCalledDamaged) {
  struct Row {
    const char* what;
    std::size_t length;
    std::int32_t result;
    const char* inReport;
  } rows[] = {
      {"longer than the dictionary", 100000, unrar::kUnsupported, "64 KiB"},
      {"within the dictionary", 1000, arc::kNotArchive, "a.log"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    RarBuilder b;
    b.Add(StoredMember("a.log", std::string(row.length, '\x7f')).WithMethod(0x33, 0));
    for (const char* cmd : {"-x -u", "-t"}) {
      const RunResult r = Extract(b, 0, cmd);
      EXPECT_EQ(r.result, row.result) << r.output;
      EXPECT_NE(r.output.find(row.inReport), std::string::npos) << r.output;
      EXPECT_FALSE(fs::exists(P("base/a.log")));
    }
  }
}

TEST_F(HostileTest, ControlCharactersNeverReachTheReport) {
  RarBuilder b;
  b.Add(StoredMember("evil\x1b[2J\r\nOK       fake.txt", "data"));
  const RunResult r = Extract(b);
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(r.output.find('\x1b'), std::string::npos);
  EXPECT_EQ(r.output.find('\r'), std::string::npos);
  EXPECT_EQ(r.output.find("\n正常  fake.txt"), std::string::npos) << r.output;
  auto entries = List(P("in/hostile.rar"));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(std::string(entries[0].FileName).find("evil"), 0u);
}

TEST_F(HostileTest, ALongNameIsCutInTheRecordOnly) {
  const std::string longName =
      std::string(200, 'd') + "\\" + std::string(200, 'e') + "\\" + std::string(200, 'f') + ".log";
  RarBuilder b;
  b.Add(StoredMember(longName, "x")).Add(StoredMember(std::string(250, 'n'), "y"));
  auto entries = List(Write("long.rar", b.Build()));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(std::strlen(entries[0].FileName), 512u);
  EXPECT_EQ(std::string(entries[0].FileName, 201), std::string(200, 'd') + "/");
  EXPECT_EQ(std::string(entries[1].FileName), std::string(250, 'n'));
}

}  // namespace
}  // namespace unrartest
