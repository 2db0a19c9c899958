// The jo / job stamps: lengths, the year pivot, and conversion errors.
#include <gtest/gtest.h>

#include "archivecore/FileListDate.h"
#include "archivecore/NoValue.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"

namespace {

using pelsok::filelist::ParseDateTime;
using platform::EncodeDate;
using platform::EncodeTime;

std::string ConversionMessage(const std::string& stamp) {
  try {
    ParseDateTime(stamp);
  } catch (const platform::EConvertError& e) {
    return e.Message();
  }
  return "(no error)";
}

TEST(FileListDate, SixAndTwelveDigitStamps) {
  EXPECT_EQ(ParseDateTime("981201"), EncodeDate(1998, 12, 1));
  EXPECT_EQ(ParseDateTime("990101"), EncodeDate(1999, 1, 1));
  EXPECT_EQ(ParseDateTime("981201123456"), EncodeDate(1998, 12, 1) + EncodeTime(12, 34, 56, 0));
  EXPECT_EQ(ParseDateTime("000229235959"), EncodeDate(2000, 2, 29) + EncodeTime(23, 59, 59, 0));
}

TEST(FileListDate, YearsBelowEightyAreThisCentury) {
  EXPECT_EQ(ParseDateTime("790101"), EncodeDate(2079, 1, 1));
  EXPECT_EQ(ParseDateTime("800101"), EncodeDate(1980, 1, 1));
  EXPECT_EQ(ParseDateTime("000101"), EncodeDate(2000, 1, 1));
  EXPECT_EQ(ParseDateTime("991231"), EncodeDate(1999, 12, 31));
}

TEST(FileListDate, OtherLengthsMeanNoBound) {
  for (const char* s : {"", "9812", "98120", "9812011", "98120112345", "9812011234567"})
    EXPECT_EQ(ParseDateTime(s), 0) << '"' << s << '"';
  EXPECT_EQ(ParseDateTime(pelsok::NoValue), 0);
}

TEST(FileListDate, FieldsThatAreNotIntegersRaiseTheConversionError) {
  EXPECT_EQ(ConversionMessage("98AB01"), "'AB' は整数ではありません");
  EXPECT_EQ(ConversionMessage("9812011200xx"), "'xx' は整数ではありません");
  EXPECT_EQ(ConversionMessage("98+ 01"), "'+ ' は整数ではありません");
}

TEST(FileListDate, DatesAndTimesThatDoNotExistRaiseTheConversionError) {
  for (const char* s : {"981301", "981200", "981232", "010229", "981201240000", "981201126000",
                        "981201120060", "98-101"})
    EXPECT_THROW(ParseDateTime(s), platform::EConvertError) << s;
}

}  // namespace
