// The names table of the Compress run, the month conversion error and the
// start-up date defaults.
#include <gtest/gtest.h>

#include "app/run/LogNames.h"
#include "app/settings/DateDefaults.h"
#include "app/text/IntegerText.h"
#include "platform/Exceptions.h"

namespace {

using pelsok::app::MakeLogNames;
using pelsok::app::PreviousMonthText;

TEST(LogNames, FolderKindYearAndTwoDigitMonth) {
  auto n = MakeLogNames("/var/log/", "DR", "98", "7", false);
  EXPECT_EQ(n.Mask, "/var/log/DR07*.log");
  EXPECT_EQ(n.ArchiveName, "/var/log/DR9807.LZH");
  n = MakeLogNames("/var/log/", "DR", "98", "11", false);
  EXPECT_EQ(n.Mask, "/var/log/DR11*.log");
  EXPECT_EQ(n.ArchiveName, "/var/log/DR9811.LZH");
  n = MakeLogNames("/var/log/", "ABC", "26", "9", false);
  EXPECT_EQ(n.Mask, "/var/log/ABC09*.log");
  EXPECT_EQ(n.ArchiveName, "/var/log/ABC2609.LZH");
}

TEST(LogNames, SixDigitModeCarriesTheYearAndNoFolder) {
  auto n = MakeLogNames("/var/log/", "DR", "98", "7", true);
  EXPECT_EQ(n.Mask, "DR9807*.log");
  EXPECT_EQ(n.ArchiveName, "DR9807.LZH");
  n = MakeLogNames("whatever", "DR", "98", "12", true);
  EXPECT_EQ(n.Mask, "DR9812*.log");
  EXPECT_EQ(n.ArchiveName, "DR9812.LZH");
}

TEST(LogNames, TextsAreUsedAsTyped) {
  // "0" + "07": the month text is not reformatted.
  EXPECT_EQ(MakeLogNames("/log/", "DR", "98", "07", false).Mask, "/log/DR007*.log");
  // No delimiter is added to the folder.
  EXPECT_EQ(MakeLogNames("/log", "DR", "98", "7", false).Mask, "/logDR07*.log");
  EXPECT_EQ(MakeLogNames("/log/", "DR", "1998", "10", false).ArchiveName, "/log/DR199810.LZH");
  EXPECT_EQ(MakeLogNames("/log/", "DR", "98", " 7", false).Mask, "/log/DR0 7*.log");
}

TEST(LogNames, MonthOutsideOneToTwelveGivesEmptyNames) {
  for (const char* m : {"0", "13", "-1", "99"}) {
    const auto n = MakeLogNames("/log/", "DR", "98", m, false);
    EXPECT_EQ(n.Mask, "") << m;
    EXPECT_EQ(n.ArchiveName, "") << m;
  }
}

TEST(LogNames, MonthThatIsNotAnIntegerIsTheConversionError) {
  for (const char* m : {"", "abc", "7a", "1.5", "+"}) {
    try {
      MakeLogNames("/log/", "DR", "98", m, false);
      FAIL() << m;
    } catch (const platform::EConvertError& e) {
      EXPECT_EQ(e.Message(), std::string("'") + m + "' は整数ではありません");
    }
  }
}

TEST(IntegerText, ConvertsLikeTheClassLibrary) {
  int v = 0;
  EXPECT_TRUE(pelsok::app::TryStrToInt("  12", v));
  EXPECT_EQ(v, 12);
  EXPECT_TRUE(pelsok::app::TryStrToInt("-3", v));
  EXPECT_EQ(v, -3);
  EXPECT_TRUE(pelsok::app::TryStrToInt("$1F", v));
  EXPECT_EQ(v, 31);
  EXPECT_TRUE(pelsok::app::TryStrToInt("0x10", v));
  EXPECT_EQ(v, 16);
  EXPECT_TRUE(pelsok::app::TryStrToInt("2147483647", v));
  EXPECT_TRUE(pelsok::app::TryStrToInt("-2147483648", v));
  EXPECT_EQ(v, -2147483647 - 1);
  EXPECT_FALSE(pelsok::app::TryStrToInt("2147483648", v));
  EXPECT_FALSE(pelsok::app::TryStrToInt("12 ", v));
  EXPECT_FALSE(pelsok::app::TryStrToInt("", v));
  EXPECT_FALSE(pelsok::app::TryStrToInt("-", v));
}

TEST(DateDefaults, PreviousMonthWithTwoDigitYear) {
  auto t = PreviousMonthText(platform::EncodeDate(1998, 7, 15));
  EXPECT_EQ(t.Month, "6");
  EXPECT_EQ(t.Year, "98");
  EXPECT_EQ(PreviousMonthText(platform::EncodeDate(1998, 10, 5)).Month, "9");
  t = PreviousMonthText(platform::EncodeDate(1999, 1, 20));
  EXPECT_EQ(t.Month, "12");
  EXPECT_EQ(t.Year, "98");
  t = PreviousMonthText(platform::EncodeDate(1999, 2, 3));
  EXPECT_EQ(t.Month, "1");
  EXPECT_EQ(t.Year, "99");
}

TEST(DateDefaults, CenturyTurns) {
  auto t = PreviousMonthText(platform::EncodeDate(2000, 1, 1));
  EXPECT_EQ(t.Month, "12");
  EXPECT_EQ(t.Year, "99");
  t = PreviousMonthText(platform::EncodeDate(2000, 2, 29));
  EXPECT_EQ(t.Month, "1");
  EXPECT_EQ(t.Year, "00");
  t = PreviousMonthText(platform::EncodeDate(2001, 1, 31));
  EXPECT_EQ(t.Month, "12");
  EXPECT_EQ(t.Year, "00");
  t = PreviousMonthText(platform::EncodeDate(2009, 3, 1));
  EXPECT_EQ(t.Year, "09");
}

}  // namespace
