// Splitting list items into folder and mask, and joining them again.
#include <gtest/gtest.h>

#include "archivecore/FileListPath.h"
#include "platform/CodePage.h"

namespace {

using pelsok::filelist::JoinPath;
using pelsok::filelist::LastChar;
using pelsok::filelist::SplitItem;

void ExpectSplit(const std::string& item, const std::string& dir, const std::string& mask) {
  const auto parts = SplitItem(item);
  EXPECT_EQ(parts.Dir, dir) << "item " << item;
  EXPECT_EQ(parts.Mask, mask) << "item " << item;
}

class CodePageGuard {
 public:
  explicit CodePageGuard(platform::CodePage cp) : previous_(platform::ActiveCodePage()) {
    platform::SetActiveCodePage(cp);
  }
  ~CodePageGuard() { platform::SetActiveCodePage(previous_); }

 private:
  platform::CodePage previous_;
};

TEST(FileListPath, SplitDropsTheDelimiterExceptAtTheRootOrAfterAnother) {
  ExpectSplit("/var/log/*.log", "/var/log", "*.log");
  ExpectSplit("/*.log", "/", "*.log");
  ExpectSplit("*.log", "", "*.log");
  ExpectSplit("logs/DR07*.log", "logs", "DR07*.log");
  ExpectSplit("logs/", "logs", "");
  ExpectSplit("a//b.log", "a//", "b.log");
  ExpectSplit("", "", "");
}

TEST(FileListPath, OnlyTheSlashDelimitsHere) {
  // Drive colons and backslashes are ordinary name characters on this platform.
  ExpectSplit("C:\\LOG\\*.log", "", "C:\\LOG\\*.log");
  ExpectSplit("C:*.log", "", "C:*.log");
  ExpectSplit("d:/x.log", "d:", "x.log");
}

TEST(FileListPath, DoubleByteNamesSplitOnWholeCharacters) {
  CodePageGuard cp(platform::CodePage::Cp932);
  // 0x95 0x5C is one cp932 character whose trail byte is a backslash.
  const std::string hyou = "\x95\x5C";
  ExpectSplit("logs/" + hyou + "/a.log", "logs/" + hyou, "a.log");
  ExpectSplit(hyou + "/*.log", hyou, "*.log");
  EXPECT_EQ(LastChar("ab" + hyou), '\x95');
  EXPECT_EQ(JoinPath(hyou, "a.log"), hyou + "/a.log");
}

TEST(FileListPath, JoinAddsTheDelimiterOnlyWhenMissing) {
  EXPECT_EQ(JoinPath("", "a.log"), "a.log");
  EXPECT_EQ(JoinPath("/", "a.log"), "/a.log");
  EXPECT_EQ(JoinPath("logs", "a.log"), "logs/a.log");
  EXPECT_EQ(JoinPath("logs/", "*.*"), "logs/*.*");
  EXPECT_EQ(JoinPath("a//", "b"), "a//b");
}

}  // namespace
