// The listing entries: open, FindFirst/FindNext with wildcards, the record's
// fields, and handles.
#include <utime.h>

#include <cstring>

#include "UnlhaHarness.h"

namespace unlhatest {
namespace {

class ListingTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    WriteFile(Path("src/LOG/DR0715.log"), LogText(20000, 1));
    WriteFile(Path("src/LOG/DR0716.log"), "x");
    WriteFile(Path("src/LOG/NA0715.log"), "");
    struct utimbuf u {
      1751544000, 1751544000
    };  // 2025-07-03 12:00:00 UTC
    ::utime(P("src/LOG/DR0715.log").c_str(), &u);
    RunResult r =
        Unlha("a -+ -x1 -o6  " + Q(P("A.LZH")) + " " + Q(P("src/")) + " " + Q("LOG/*.log"));
    ASSERT_EQ(r.result, arc::kOk) << r.output;
  }
  std::vector<std::string> Walk(const char* wild) {
    const ArchiverLibrary& lib = kUnlha32;
    ArcHandle h = lib.open(nullptr, P("A.LZH").c_str(), 0);
    EXPECT_NE(h, 0);
    std::vector<std::string> names;
    TArchiveEntryInfo info{};
    for (int r = lib.findFirst(h, wild, &info); r == 0; r = lib.findNext(h, &info))
      names.push_back(info.FileName);
    EXPECT_NE(lib.findNext(h, &info), 0);  // stays at the end
    lib.close(h);
    return names;
  }
};

TEST_F(ListingTest, WildcardsMatchTheNameOrTheWholePath) {
  const std::vector<std::string> all = {"LOG/DR0715.log", "LOG/DR0716.log", "LOG/NA0715.log"};
  EXPECT_EQ(Walk("*.*"), all);
  EXPECT_EQ(Walk("*"), all);
  EXPECT_EQ(Walk(""), all);
  EXPECT_EQ(Walk("dr07*.LOG"), (std::vector<std::string>{"LOG/DR0715.log", "LOG/DR0716.log"}));
  EXPECT_EQ(Walk("*0715*"), (std::vector<std::string>{"LOG/DR0715.log", "LOG/NA0715.log"}));
  EXPECT_EQ(Walk("LOG/NA*"), (std::vector<std::string>{"LOG/NA0715.log"}));
  EXPECT_EQ(Walk("LOG\\NA*"), (std::vector<std::string>{"LOG/NA0715.log"}));
  EXPECT_TRUE(Walk("*.txt").empty());
}

TEST_F(ListingTest, RecordFieldsAreFilled) {
  const ArchiverLibrary& lib = kUnlha32;
  ArcHandle h = lib.open(nullptr, P("A.LZH").c_str(), 0);
  ASSERT_NE(h, 0);
  TArchiveEntryInfo info;
  std::memset(&info, 0x5A, sizeof info);
  ASSERT_EQ(lib.findFirst(h, "DR0715.log", &info), 0);
  const std::string data = LogText(20000, 1);
  EXPECT_EQ(info.OriginalSize, 20000u);
  EXPECT_GT(info.CompressedSize, 0u);
  EXPECT_LT(info.CompressedSize, 20000u);
  EXPECT_EQ(info.Ratio, (info.CompressedSize * 1000 + 10000) / 20000);
  EXPECT_EQ(
      info.Crc, 0u + [&] {
        std::uint16_t crc = 0;  // CRC-16/ARC
        for (unsigned char c : data) {
          crc ^= c;
          for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
        }
        return crc;
      }());
  EXPECT_STREQ(info.Method, "-lh6-");
  EXPECT_STREQ(info.Attribute, "-a--");
  EXPECT_STREQ(info.FileName, "LOG/DR0715.log");
  EXPECT_EQ(info.OsType, static_cast<std::uint32_t>('U'));
  // DOS date and time are local time.
  time_t t = 1751544000;
  struct tm lt {};
  localtime_r(&t, &lt);
  EXPECT_EQ(info.DosDate, ((lt.tm_year - 80) << 9) | ((lt.tm_mon + 1) << 5) | lt.tm_mday);
  EXPECT_EQ(info.DosTime, (lt.tm_hour << 11) | (lt.tm_min << 5) | (lt.tm_sec / 2));
  ASSERT_EQ(lib.findFirst(h, "NA0715.log", &info), 0);
  EXPECT_EQ(info.OriginalSize, 0u);
  EXPECT_EQ(info.Ratio, 0u);
  EXPECT_STREQ(info.Method, "-lh0-");
  lib.close(h);
}

TEST_F(ListingTest, OpenRefusesWhatIsNotAnArchive) {
  const ArchiverLibrary& lib = kUnlha32;
  EXPECT_EQ(lib.open(nullptr, P("missing.LZH").c_str(), 0), 0);
  WriteFile(Path("text.LZH"), "plain text, not an archive at all");
  EXPECT_EQ(lib.open(nullptr, P("text.LZH").c_str(), 0), 0);
  WriteFile(Path("empty.LZH"), "");
  EXPECT_EQ(lib.open(nullptr, P("empty.LZH").c_str(), 0), 0);
  EXPECT_EQ(lib.open(nullptr, P("src").c_str(), 0), 0);  // a folder
  EXPECT_EQ(lib.open(nullptr, nullptr, 0), 0);
  EXPECT_EQ(lib.check(P("text.LZH").c_str(), 0), 0);
  EXPECT_NE(lib.check(P("A.LZH").c_str(), 0), 0);
  EXPECT_GE(lib.version(), 100);
}

TEST_F(ListingTest, HandlesAreSmallDistinctAndIndependent) {
  const ArchiverLibrary& lib = kUnlha32;
  ArcHandle a = lib.open(nullptr, P("A.LZH").c_str(), 0x800002);
  ArcHandle b = lib.open(nullptr, P("A.LZH").c_str(), 0);
  ASSERT_NE(a, 0);
  ASSERT_NE(b, 0);
  EXPECT_NE(a, b);
  EXPECT_GT(a, 0);
  EXPECT_LT(a, 4097);
  TArchiveEntryInfo ia{}, ib{};
  ASSERT_EQ(lib.findFirst(a, "*", &ia), 0);
  ASSERT_EQ(lib.findFirst(b, "NA*", &ib), 0);
  ASSERT_EQ(lib.findNext(a, &ia), 0);
  EXPECT_STREQ(ia.FileName, "LOG/DR0716.log");
  EXPECT_NE(lib.findNext(b, &ib), 0);
  EXPECT_EQ(lib.close(a), 0);
  EXPECT_NE(lib.close(a), 0);  // already closed
  EXPECT_NE(lib.findNext(a, &ia), 0);
  EXPECT_NE(lib.findFirst(12345, "*", &ia), 0);
  EXPECT_NE(lib.findFirst(b, "*", nullptr), 0);
  EXPECT_EQ(lib.close(b), 0);
}

}  // namespace
}  // namespace unlhatest
