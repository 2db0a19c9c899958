// Code pages, masks, string lists, dates and paths.
#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/DateTime.h"
#include "platform/Paths.h"
#include "platform/StoredName.h"
#include "platform/StringList.h"
#include "platform/TextConvert.h"
#include "platform/Wildcard.h"

using namespace platform;

namespace {

// Selects a code page for one test.
class ScopedCodePage {
 public:
  explicit ScopedCodePage(CodePage cp) : old_(ActiveCodePage()) { SetActiveCodePage(cp); }
  ~ScopedCodePage() { SetActiveCodePage(old_); }

 private:
  CodePage old_;
};

const std::string kSo = "\x83\x5C";  // ソ in cp932: its trail byte is 0x5C, the backslash

}  // namespace

TEST(CodePage, Cp932TrailBytesAreNeverDelimiters) {
  ScopedCodePage cp(CodePage::Cp932);
  const std::string name = "LOG" + kSo;
  EXPECT_TRUE(IsLeadByte(0x83));
  EXPECT_FALSE(IsLeadByte('A'));
  EXPECT_FALSE(IsLeadByte(0xA0));  // half-width katakana are single bytes
  EXPECT_EQ(LastCharStart(name), 3u);
  EXPECT_EQ(LastDelimiter("\\", name), std::string::npos);
  EXPECT_EQ(LastDelimiter("\\", "A\\" + kSo + "\\b"), 4u);
  EXPECT_FALSE(EndsWithChar(name, '\\'));
  EXPECT_TRUE(EndsWithChar(name + "\\", '\\'));
  EXPECT_EQ(LastCharStart("\xB1\xB2"), 1u);  // half-width ｱｲ
  // A lone lead byte at the end is a character of its own.
  EXPECT_EQ(LastCharStart("ab\x83"), 2u);
}

TEST(StoredName, RootDotsAndBothDelimitersLeaveTheName) {
  struct Row {
    std::string path;
    std::string stored, bare;
  };
  const Row rows[] = {
      {"/srv/LOG/DR0715.log", "srv/LOG/DR0715.log", "DR0715.log"},
      {"a\\b/./c/../d.log", "a/b/c/d.log", "d.log"},
      {"//x//", "x", "x"},
      {"..", "", ""},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(StoredName(r.path), r.stored) << r.path;
    EXPECT_EQ(StoredName(r.path, false), r.bare) << r.path;
  }
  EXPECT_EQ(StoredFolderParts("/base/LOG/", "/base/"), std::vector<std::string>{"LOG"});
  EXPECT_EQ(StoredFolderParts("/other/LOG/", "/base/"), (std::vector<std::string>{"other", "LOG"}));
  ScopedCodePage cp(CodePage::Cp932);
  // The trail byte 0x5C of a cp932 character is no delimiter.
  EXPECT_EQ(StoredName("LOG\\" + kSo + "\\a.log"), "LOG/" + kSo + "/a.log");
  EXPECT_EQ(StoredName(kSo + ".log", false), kSo + ".log");
}

TEST(CodePage, Utf8Characters) {
  ScopedCodePage cp(CodePage::Utf8);
  const std::string so = "ソ";  // E3 82 BD
  EXPECT_EQ(LastCharStart("LOG" + so), 3u);
  EXPECT_EQ(CharLength(so, 0), 3u);
  EXPECT_EQ(LastDelimiter("/", "a/b" + so), 1u);
  EXPECT_EQ(LastCharStart(""), std::string::npos);
  EXPECT_EQ(CharLength("\xE3\x82", 0), 1u);  // cut sequence
}

TEST(CodePage, Conversions) {
  EXPECT_EQ(Cp932ToUtf8(kSo).value(), "ソ");
  EXPECT_EQ(Utf8ToCp932("ペルソク").value(), "\x83\x79\x83\x8B\x83\x5C\x83\x4E");
  EXPECT_TRUE(IsValidCp932(kSo));
  EXPECT_FALSE(IsValidUtf8(kSo));
  EXPECT_TRUE(IsValidUtf8("ペルソク"));
  EXPECT_FALSE(IsValidCp932("\x83"));
  EXPECT_FALSE(Cp932ToUtf8("\x83").has_value());
}

TEST(Wildcard, WindowsRules) {
  struct Row {
    const char* name;
    const char* mask;
    bool match;
  };
  const Row rows[] = {
      {"README", "*.*", true},
      {"a.log", "*.*", true},
      {".hidden", "*", true},
      {"DR0701.log", "DR07*.log", true},
      {"dr0701.LOG", "DR07*.log", true},
      {"DR0801.log", "DR07*.log", false},
      {"DR07.log", "DR07*.log", true},
      {"DR0701.log.bak", "DR07*.log", false},
      {"a.log", "?.log", true},
      {"ab.log", "?.log", false},
      {"README", "READ*.*", true},
      {"README", "*.", true},
      {"a.b", "*.", false},
      {"ソ.log", "*.log", true},
      {"é.log", "É.log", false},
      {"aaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*c", false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(MatchesMask(row.name, row.mask), row.match) << row.name << " ~ " << row.mask;
  }
  EXPECT_TRUE(HasWildcard("a?"));
  EXPECT_FALSE(HasWildcard("a.log"));
}

TEST(Wildcard, QuestionMarkTakesOneCharacterOfTheCodePage) {
  {
    ScopedCodePage utf8(CodePage::Utf8);
    EXPECT_TRUE(MatchesMask("ア.log", "?.log"));
    EXPECT_TRUE(MatchesMask("DRア1.log", "DR??.log"));
    EXPECT_FALSE(MatchesMask("アイ.log", "?.log"));
    EXPECT_TRUE(MatchesMask("xアy.log", "*ア?.log"));
    EXPECT_FALSE(MatchesMask("イ.log", "ア.log"));  // same lead byte, another character
  }
  {
    ScopedCodePage cp932(CodePage::Cp932);
    const std::string a = "\x83\x41";  // ア
    EXPECT_TRUE(MatchesMask(a + ".log", "?.log"));
    EXPECT_TRUE(MatchesMask(kSo + ".log", "?.log"));
    EXPECT_FALSE(MatchesMask(a + kSo + ".log", "?.log"));
    EXPECT_TRUE(MatchesMask(a + kSo + ".log", "??.log"));
    EXPECT_TRUE(MatchesMask("x" + kSo + ".log", "*" + kSo + ".log"));
  }
}

TEST(StringList, SortedIgnoresDuplicatesWithoutCase) {
  TStringList l(true);
  l.Add("b.log");
  l.Add("A.log");
  l.Add("a.LOG");
  l.Add("c.log");
  ASSERT_EQ(l.Count(), 3u);
  EXPECT_EQ(l[0], "A.log");
  EXPECT_EQ(l[1], "b.log");
  std::size_t index = 0;
  EXPECT_TRUE(l.Find("C.LOG", index));
  EXPECT_EQ(index, 2u);
}

TEST(StringList, TextFormAndSplitting) {
  TStringList l;
  l.Add("DR");
  l.Add("DD");
  l.Add("NA");
  EXPECT_EQ(l.Text(), "DR\r\nDD\r\nNA\r\n");
  struct Row {
    const char* text;
    std::vector<std::string> lines;
  };
  const Row rows[] = {{"DR\nDD", {"DR", "DD"}},
                      {"DR\r\n\r\nDD\r\n", {"DR", "", "DD"}},
                      {"DR\rDD\r", {"DR", "DD"}},
                      {"", {}},
                      {"\r\n", {""}},
                      {"A\n\rB", {"A", "", "B"}}};
  for (const Row& row : rows) {
    l.SetText(row.text);
    EXPECT_EQ(l.Lines(), row.lines) << row.text;
  }
}

TEST(DateTime, DaysSince1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
  EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  int y, m, d;
  DecodeDate(EncodeDate(2079, 12, 31), y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20791231);
  DecodeDate(EncodeDate(2000, 2, 29), y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20000229);
  TDateTime out;
  EXPECT_FALSE(TryEncodeDate(1999, 2, 29, out));
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, out));
  EXPECT_EQ(FileTimeToLocalDateTime(0), 0.0);
}

TEST(DateTime, FileTimesAreUtcAndConvertToLocal) {
  setenv("TZ", "Asia/Tokyo", 1);
  tzset();
  // 1998-12-01 00:00 JST = 1998-11-30 15:00 UTC.
  const std::uint64_t ft = UnixTimeToFileTime(912438000, 0);
  EXPECT_DOUBLE_EQ(FileTimeToLocalDateTime(ft), EncodeDate(1998, 12, 1));
  unsetenv("TZ");
  tzset();
}

TEST(Paths, SplittingAndExpansion) {
  EXPECT_EQ(ExtractFilePath("/var/log/a.log"), "/var/log/");
  EXPECT_EQ(ExtractFileName("/var/log/a.log"), "a.log");
  EXPECT_EQ(ExtractFileName("a.log"), "a.log");
  EXPECT_EQ(ExtractFileExt("x.tar.gz"), ".gz");
  EXPECT_EQ(ExtractFileExt("dir.d/x"), "");
  EXPECT_EQ(ChangeFileExt("/a/DR9807.LZH", ".EXE"), "/a/DR9807.EXE");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
  EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
  EXPECT_EQ(ExpandFileName("/"), "/");
}
