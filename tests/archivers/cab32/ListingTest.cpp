// The listing entries fill TArchiveEntryInfo: sizes, method, DOS stamp,
// attributes and names (UTF-8 with the name attribute, cp932 without).
#include <sys/stat.h>
#include <utime.h>

#include <ctime>

#include "CabHarness.h"
#include "HostileCabinet.h"

namespace cabtest {
namespace {

class ListingTest : public TempDirTest {};

void SetTime(const std::string& path, int y, int mo, int d, int h, int mi, int s) {
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = mo - 1;
  tm.tm_mday = d;
  tm.tm_hour = h;
  tm.tm_min = mi;
  tm.tm_sec = s;
  tm.tm_isdst = -1;
  utimbuf t{std::mktime(&tm), std::mktime(&tm)};
  ASSERT_EQ(::utime(path.c_str(), &t), 0);
}

TEST_F(ListingTest, RecordHoldsSizesMethodStampAndAttributes) {
  WriteFile(Path("src/a.log"), LogText(100000, 1));
  WriteFile(Path("src/sub/ro.txt"), "read only");
  SetTime(P("src/a.log"), 2026, 10, 31, 23, 59, 58);
  ::chmod(P("src/sub/ro.txt").c_str(), 0444);
  for (const auto& [sw, method] : {std::pair{"", "MSZIP"}, std::pair{"-m0", "Stored"}}) {
    SCOPED_TRACE(method);
    fs::remove(Path("L.CAB"));
    RunResult r =
        Cab(std::string("-a ") + sw + " -r  " + Q(P("L.CAB")) + " " + Q(P("src/")) + " " + Q("*"));
    ASSERT_EQ(r.result, arc::kOk) << r.output;
    const auto entries = List(P("L.CAB"));
    ASSERT_EQ(entries.size(), 2u);
    const TArchiveEntryInfo& a = entries[0];
    EXPECT_STREQ(a.FileName, "a.log");
    EXPECT_EQ(a.OriginalSize, 100000u);
    EXPECT_STREQ(a.Method, method);
    EXPECT_STREQ(a.Attribute, "-a--");
    EXPECT_EQ(a.DosDate, (46 << 9) | (10 << 5) | 31);
    EXPECT_EQ(a.DosTime, (23 << 11) | (59 << 5) | 29);
    if (std::string(method) == "Stored") {
      EXPECT_EQ(a.CompressedSize, 100000u);
    } else {
      EXPECT_GT(a.CompressedSize, 0u);
      EXPECT_LT(a.CompressedSize, 100000u);
      EXPECT_GT(a.Ratio, 0);
      EXPECT_LT(a.Ratio, 1000);
    }
    EXPECT_STREQ(entries[1].FileName, "sub/ro.txt");
    EXPECT_STREQ(entries[1].Attribute, "ra--");
  }
}

TEST_F(ListingTest, WildcardsSelectByNameOrWholePath) {
  WriteFile(Path("src/a.log"), "a");
  WriteFile(Path("src/b.txt"), "b");
  WriteFile(Path("src/sub/c.log"), "c");
  ASSERT_EQ(Cab("-a -r  " + Q(P("W.CAB")) + " " + Q(P("src/")) + " " + Q("*")).result, arc::kOk);
  const auto names = [&](const char* wild) {
    std::vector<std::string> n;
    for (const auto& e : List(P("W.CAB"), wild)) n.push_back(e.FileName);
    return n;
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(names("*.*"), (V{"a.log", "b.txt", "sub/c.log"}));
  EXPECT_EQ(names(""), (V{"a.log", "b.txt", "sub/c.log"}));
  EXPECT_EQ(names("*.LOG"), (V{"a.log", "sub/c.log"}));
  EXPECT_EQ(names("sub\\*"), (V{"sub/c.log"}));
  EXPECT_EQ(names("none*"), V{});
}

TEST_F(ListingTest, HandlesAndNonCabinets) {
  const ArchiverLibrary& lib = kCab32;
  WriteFile(Path("not.cab"), "MSCF but not really a cabinet at all");
  EXPECT_EQ(lib.open(nullptr, P("not.cab").c_str(), 0x800002), 0);
  EXPECT_EQ(lib.open(nullptr, P("missing.cab").c_str(), 0x800002), 0);
  EXPECT_EQ(lib.open(nullptr, nullptr, 0), 0);
  EXPECT_EQ(lib.check(P("not.cab").c_str(), 0), 0);
  TArchiveEntryInfo info{};
  EXPECT_EQ(lib.findFirst(12345, "*", &info), -1);
  EXPECT_EQ(lib.findNext(12345, &info), -1);
  EXPECT_EQ(lib.close(12345), -1);
  WriteFile(Path("src/a.log"), "a");
  ASSERT_EQ(Cab("-a  " + Q(P("H.CAB")) + " " + Q(P("src/a.log"))).result, arc::kOk);
  EXPECT_EQ(lib.check(P("H.CAB").c_str(), 0), 1);
  const ArcHandle h1 = lib.open(nullptr, P("H.CAB").c_str(), 0x800002);
  const ArcHandle h2 = lib.open(nullptr, P("H.CAB").c_str(), 0);
  ASSERT_NE(h1, 0);
  ASSERT_NE(h2, 0);
  EXPECT_NE(h1, h2);
  ASSERT_EQ(lib.findFirst(h1, "*", &info), 0);
  EXPECT_EQ(lib.findNext(h1, &info), -1);
  EXPECT_EQ(lib.findNext(h1, &info), -1);
  ASSERT_EQ(lib.findFirst(h2, "*", &info), 0);  // each handle has its own position
  EXPECT_EQ(lib.close(h1), 0);
  EXPECT_EQ(lib.close(h1), -1);
  EXPECT_EQ(lib.close(h2), 0);
}

TEST_F(ListingTest, NamesAreUtf8WithTheAttributeAndCp932Without) {
  HostileCabinet c;
  c.Add("\x95\x5C\x8E\xA6\\\x83\x5C\x81\x5B\x83\x58.txt", "sjis", 0x20);  // 表示\ソース.txt
  c.Add("ログ\\日本語.log", "utf8", 0x20 | 0x80);
  WriteFile(Path("N.CAB"), c.Build());
  const auto entries = List(P("N.CAB"));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_STREQ(entries[0].FileName, "表示/ソース.txt");
  EXPECT_STREQ(entries[1].FileName, "ログ/日本語.log");
  ASSERT_EQ(Cab("-x  " + Q(P("N.CAB")) + " " + Q(P("out/"))).result, arc::kOk);
  EXPECT_EQ(ReadFile(Path("out/表示/ソース.txt")), "sjis");
  EXPECT_EQ(ReadFile(Path("out/ログ/日本語.log")), "utf8");
}

}  // namespace
}  // namespace cabtest
