// The LHA-form command lines the ARJ back end sends, the switches the
// library reads, the listing record, the progress entry and its cancel.
#include <utime.h>

#include <cstring>

#include "ArjTestWriter.h"
#include "UnarjHarness.h"

namespace unarjtest {
namespace {

class UnarjCommandsTest : public UnarjTest {
 protected:
  std::string Sample() {
    TestMember folder{"docs", ""};
    folder.type = 3;
    folder.mode = 020755;
    TestMember readme{"docs/readme.txt", "read me"};
    readme.mode = 010444;
    TestMember dos{"DOS.TXT", "from dos"};
    dos.hostOs = 0;
    dos.mode = 0x21;  // archive, read-only
    dos.stamp = (46u << 25) | (11u << 21) | (5u << 16) | (13u << 11) | (24u << 5) | 18u;
    return Write("in.arj",
                 ArjTestWriter().Add(folder).Add(readme).Add(dos).Add({"top.log", "top"}).Finish());
  }
};

TEST_F(UnarjCommandsTest, TheBackEndsLineExtractsWithFolders) {
  const std::string archive = Sample();
  // The line as the ARJ back end builds it: -+, an empty piece, Windows delimiters.
  RunResult r = Unarj("x -+  " + Q(archive) + " " + Q(P("out") + "\\") + " ");
  ASSERT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ListTree(Path("out")),
            (std::vector<std::string>{"DOS.TXT", "docs/", "docs/readme.txt", "top.log"}));
  EXPECT_EQ(ReadFile(P("out/docs/readme.txt")), "read me");
  EXPECT_EQ(fs::status(Path("out/docs/readme.txt")).permissions() & fs::perms::all,
            fs::perms(0444));
  EXPECT_EQ(fs::status(Path("out/DOS.TXT")).permissions() & fs::perms::owner_write,
            fs::perms::none);
  // The MS-DOS stamp is local time, the Unix one UTC seconds.
  std::tm tm{};
  tm.tm_year = 126, tm.tm_mon = 10, tm.tm_mday = 5, tm.tm_hour = 13, tm.tm_min = 24;
  tm.tm_sec = 36, tm.tm_isdst = -1;
  struct stat st {};
  ASSERT_EQ(::stat(P("out/DOS.TXT").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, std::mktime(&tm));
  ASSERT_EQ(::stat(P("out/top.log").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1790000000);
}

TEST_F(UnarjCommandsTest, SwitchesAndCommandsChooseWhatLandsWhere) {
  const std::string archive = Sample();
  struct Row {
    const char* line;  // %A archive, %B base folder
    std::vector<std::string> tree;
  } rows[] = {
      {"e %A %B", {"DOS.TXT", "readme.txt", "top.log"}},
      {"x -x0 %A %B", {"DOS.TXT", "readme.txt", "top.log"}},
      {"e -x1 %A %B", {"DOS.TXT", "docs/", "docs/readme.txt", "top.log"}},
      {"x -m1 -n1 -a1 -jf %A %B *.log", {"top.log"}},
      {"x %A %B docs\\*.txt", {"docs/", "docs/readme.txt"}},
      {"x -w%B %A", {"DOS.TXT", "docs/", "docs/readme.txt", "top.log"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    fs::remove_all(Path("out"));
    std::string line = row.line;
    line.replace(line.find("%A"), 2, Q(archive));
    line.replace(line.find("%B"), 2,
                 row.line[0] == 'x' && std::strstr(row.line, "-w") ? P("out") : Q(P("out") + "/"));
    RunResult r = Unarj(line);
    ASSERT_EQ(r.result, arc::kOk) << r.output;
    EXPECT_EQ(ListTree(Path("out")), row.tree);
  }
}

TEST_F(UnarjCommandsTest, AnExistingFileIsReplacedOnlyByANewerMemberOrWithC1) {
  const std::string archive = Sample();
  Write("out/top.log", "mine");
  struct utimbuf newer {
    2000000000, 2000000000
  };
  ASSERT_EQ(::utime(P("out/top.log").c_str(), &newer), 0);
  RunResult r = Unarj("x " + Q(archive) + " " + Q(P("out") + "/") + " top.log");
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(P("out/top.log")), "mine");
  r = Unarj("x -c1 " + Q(archive) + " " + Q(P("out") + "/") + " top.log");
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_EQ(ReadFile(P("out/top.log")), "top");
}

TEST_F(UnarjCommandsTest, BadLinesAreRefusedWithTheirCode) {
  const std::string archive = Sample();
  const std::pair<const char*, std::int32_t> rows[] = {
      {"a \"x.arj\" \"file\"", arc::kBadCommand},  // this library only reads
      {"d \"x.arj\" \"file\"", arc::kBadCommand},      {"x -+ \"\"", arc::kBadCommand},
      {"x -x9z \"in.arj\"", arc::kBadCommand},         {"x \"unclosed", arc::kBadCommand},
      {"x \"/nonexistent/in.arj\"", arc::kNotArchive},
  };
  for (const auto& [line, code] : rows) {
    SCOPED_TRACE(line);
    RunResult r = Unarj(line);
    EXPECT_EQ(r.result, code) << r.output;
    EXPECT_FALSE(r.output.empty());
  }
  RunResult none = Unarj("x " + Q(archive) + " " + Q(P("out") + "/") + " nothing*.zzz");
  EXPECT_EQ(none.result, arc::kNothingMatched);
}

TEST_F(UnarjCommandsTest, TheListingRecordIsFilledWhole) {
  const auto all = ListArchive(Sample());
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0].name, "docs/");
  EXPECT_STREQ(all[0].info.Attribute, "-d--");
  const TArchiveEntryInfo& readme = all[1].info;
  EXPECT_STREQ(readme.FileName, "docs/readme.txt");
  EXPECT_EQ(readme.OriginalSize, 7u);
  EXPECT_EQ(readme.CompressedSize, 7u);
  EXPECT_EQ(readme.Crc, Crc32("read me"));
  EXPECT_EQ(readme.Ratio, 1000);
  EXPECT_EQ(readme.OsType, 2u);
  EXPECT_STREQ(readme.Attribute, "ra--");
  EXPECT_STREQ(readme.Method, "-arj0-");
  const TArchiveEntryInfo& dos = all[2].info;
  EXPECT_EQ(dos.DosDate, (46 << 9) | (11 << 5) | 5);
  EXPECT_EQ(dos.DosTime, (13 << 11) | (24 << 5) | 18);
  EXPECT_STREQ(dos.Attribute, "ra--");
  // Wildcards: a bare mask matches names, one with a folder whole paths.
  EXPECT_EQ(ListArchive(P("in.arj"), "*.log").size(), 1u);
  EXPECT_EQ(ListArchive(P("in.arj"), "docs/*").size(), 1u);
  EXPECT_EQ(ListArchive(P("in.arj"), "").size(), 4u);
  const ArchiverLibrary& lib = kUnarj32j;
  EXPECT_EQ(lib.open(nullptr, P("missing.arj").c_str(), 0), 0);
  EXPECT_EQ(lib.close(12345), -1);
  TArchiveEntryInfo info{};
  EXPECT_NE(lib.findFirst(12345, "*", &info), 0);
  EXPECT_NE(lib.findNext(12345, &info), 0);
}

TEST_F(UnarjCommandsTest, ProgressIsToldAndCancelLeavesNoPartialFile) {
  const std::string big(3u << 20, 'z');
  const std::string archive =
      Write("big.arj", ArjTestWriter().Add({"a.txt", "first"}).Add({"big.bin", big}).Finish());
  struct Seen {
    int calls = 0;
    std::uint64_t bytes = 0;
    bool cancelInBig = false;
  } seen;
  auto callback = [](void* user, const ArcProgress* p) -> std::int32_t {
    auto* s = static_cast<Seen*>(user);
    ++s->calls;
    s->bytes = p->bytesDone;
    return s->cancelInBig && std::string(p->current) == "big.bin" && p->bytesDone > 1000 ? 1 : 0;
  };
  const ArchiverLibrary& lib = kUnarj32j;
  ASSERT_NE(lib.setProgress, nullptr);
  lib.setProgress(callback, &seen);
  RunResult r = Unarj("x " + Q(archive) + " " + Q(P("out") + "/"));
  EXPECT_EQ(r.result, arc::kOk) << r.output;
  EXPECT_GT(seen.calls, 2);
  EXPECT_EQ(seen.bytes, big.size() + 5);

  fs::remove_all(Path("out"));
  seen = {};
  seen.cancelInBig = true;
  r = Unarj("x " + Q(archive) + " " + Q(P("out") + "/"));
  lib.setProgress(nullptr, nullptr);
  EXPECT_EQ(r.result, arc::kCancelled) << r.output;
  EXPECT_EQ(ListTree(Path("out")), std::vector<std::string>{"a.txt"});  // no partial big.bin
}

}  // namespace
}  // namespace unarjtest
