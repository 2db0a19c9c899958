// Windows delimiters in command lines become the platform's, whole
// characters only.
#include <gtest/gtest.h>

#include "common/Delimiters.h"
#include "platform/CodePage.h"

TEST(Delimiters, BackslashesBecomeSlashesButNeverTrailBytes) {
  EXPECT_EQ(arc::ToPlatformDelimiters("LOG\\DR07*.log"), "LOG/DR07*.log");
  EXPECT_TRUE(arc::EndsWithDelimiter("/var/log/"));
  EXPECT_TRUE(arc::EndsWithDelimiter("C:\\LOG\\"));
  const platform::CodePage old = platform::ActiveCodePage();
  platform::SetActiveCodePage(platform::CodePage::Cp932);
  const std::string so = "\x83\x5C";  // a cp932 character whose trail byte is 0x5C
  EXPECT_EQ(arc::ToPlatformDelimiters("LOG\\" + so + "\\a"), "LOG/" + so + "/a");
  EXPECT_FALSE(arc::EndsWithDelimiter("LOG" + so));
  platform::SetActiveCodePage(old);
}
