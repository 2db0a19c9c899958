// Spin edit text rules, the browse dialog's folder texts and the drive list.
#include <gtest/gtest.h>

#include "app/settings/MountPoints.h"
#include "app/text/FolderText.h"
#include "app/text/SpinRules.h"
#include "platform/CodePage.h"

namespace {

using namespace pelsok::app;

TEST(SpinRules, TakesDigitsSignsAndTheDecimalSeparatorOnly) {
  for (char32_t c : {U'0', U'9', U'+', U'-', U','}) EXPECT_TRUE(SpinAcceptsChar(c, U',')) << int(c);
  for (char32_t c : {U'a', U' ', U'.', U'/', U'１'})
    EXPECT_FALSE(SpinAcceptsChar(c, U',')) << int(c);
}

TEST(SpinRules, StepsByOneWithinTheRange) {
  EXPECT_EQ(SpinStep("7", 1, 1, 12), "8");
  EXPECT_EQ(SpinStep("12", 1, 1, 12), "12");
  EXPECT_EQ(SpinStep("1", -1, 1, 12), "1");
  EXPECT_EQ(SpinStep("", 1, 1, 12), "2");  // an unreadable text counts as the minimum
  EXPECT_EQ(SpinStep("40", -1, 1, 12), "12");
}

TEST(SpinRules, LeavingPullsIntoRangeButKeepsEmptyAndOtherText) {
  EXPECT_EQ(SpinCheckOnExit("13", 1, 12), "12");
  EXPECT_EQ(SpinCheckOnExit("0", 1, 12), "1");
  EXPECT_EQ(SpinCheckOnExit("-5", 1, 9999), "1");
  EXPECT_EQ(SpinCheckOnExit("10000", 1, 9999), "9999");
  EXPECT_EQ(SpinCheckOnExit("07", 1, 12), "07");
  EXPECT_EQ(SpinCheckOnExit("", 1, 12), "");
  EXPECT_EQ(SpinCheckOnExit("1-2", 1, 12), "1-2");
}

TEST(FolderText, AddsOneDelimiterUnlessTheLastWholeCharacterIsOne) {
  EXPECT_EQ(FolderWithDelimiter("/var/log"), "/var/log/");
  EXPECT_EQ(FolderWithDelimiter("/"), "/");
  EXPECT_EQ(FolderWithDelimiter("/var/log/"), "/var/log/");
  // cp932: "ソ" is 0x83 0x5C; its second byte is no delimiter of ours.
  const auto saved = platform::ActiveCodePage();
  platform::SetActiveCodePage(platform::CodePage::Cp932);
  EXPECT_EQ(FolderWithDelimiter("/log/\x83\x5C"), "/log/\x83\x5C/");
  platform::SetActiveCodePage(saved);
}

TEST(FolderText, ShortensLeadingFoldersWithDots) {
  auto within = [](std::size_t n) { return [n](const std::string& s) { return s.size() <= n; }; };
  EXPECT_EQ(MinimizeName("/home/user/logs/app", within(100)), "/home/user/logs/app");
  EXPECT_EQ(MinimizeName("/home/user/logs/app", within(16)), "/.../logs/app");
  EXPECT_EQ(MinimizeName("/home/user/logs/app", within(10)), "/.../app");
  EXPECT_EQ(MinimizeName("/home/user/logs/app", within(3)), "/.../app");
}

TEST(MountPoints, ListsRootFirstThenStorageFileSystems) {
  const std::string table =
      "/dev/sda1 / ext4 rw 0 0\n"
      "proc /proc proc rw 0 0\n"
      "tmpfs /run tmpfs rw 0 0\n"
      "/dev/sdb1 /mnt/usb\\040stick vfat rw 0 0\n"
      "/dev/sda2 /home ext4 rw 0 0\n";
  const auto points = ParseMountPoints(table);
  EXPECT_EQ(points, (std::vector<std::string>{"/", "/home", "/mnt/usb stick"}));
  EXPECT_EQ(MountPointOf("/home/user", points), "/home");
  EXPECT_EQ(MountPointOf("/homework", points), "/");
  EXPECT_EQ(MountPointOf("/mnt/usb stick", points), "/mnt/usb stick");
}

}  // namespace
