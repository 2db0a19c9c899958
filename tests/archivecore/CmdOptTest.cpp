#include <gtest/gtest.h>

#include "archivecore/CmdOpt.h"
#include "archivecore/NoValue.h"

using pelsok::NoValue;
using pelsok::TCmdOpt;

TEST(CmdOpt, WorkedExampleBuildsPieceByPiece) {
  TCmdOpt b;
  EXPECT_EQ(b.Text, "");
  b.AddText("-+");
  EXPECT_EQ(b.Text, " -+");
  b.AddNumber("x", 1);
  EXPECT_EQ(b.Text, " -+ -x1");
  b.AddNumber("a", -1);
  EXPECT_EQ(b.Text, " -+ -x1");
  b.AddText("");
  EXPECT_EQ(b.Text, " -+ -x1 ");
  b.AddString("", "A.LZH");
  EXPECT_EQ(b.Text, " -+ -x1  \"A.LZH\"");
  b.AddDir("", "/LOG");
  EXPECT_EQ(b.Text, " -+ -x1  \"A.LZH\" \"/LOG/\"");
}

TEST(CmdOpt, SwitchValuesQuoteTheWholeSwitch) {
  struct Row {
    std::string value;
    std::string expected;
  };
  for (const Row& row : {Row{"abc", " \"-jzabc\""}, Row{"", " \"-jz\""}, Row{NoValue, ""},
                         Row{"a\"b", " \"-jza\"b\""}}) {
    TCmdOpt b;
    b.AddSwitch("jz", row.value);
    EXPECT_EQ(b.Text, row.expected) << row.value;
  }
  TCmdOpt operand;
  operand.AddSwitch("", "");
  EXPECT_EQ(operand.Text, " \"\"");
}

TEST(CmdOpt, NumbersSkipOnlyMinusOne) {
  TCmdOpt b;
  b.AddNumber("a", 0);
  b.AddNumber("a", -1);
  b.AddNumber("a", -2);
  b.AddNumber("jm", 127);
  b.AddNumber("x", -128);
  EXPECT_EQ(b.Text, " -a0 -a-2 -jm127 -x-128");
}

TEST(CmdOpt, ListsEmitEveryLineButNoValue) {
  platform::TStringList empty;
  TCmdOpt b;
  b.AddList("jx", empty);
  EXPECT_EQ(b.Text, "");
  platform::TStringList lines;
  lines.Add("a");
  lines.Add(NoValue);
  lines.Add("");
  b.AddList("", lines);
  EXPECT_EQ(b.Text, " \"a\" \"\"");
}

TEST(CmdOpt, DirAppendsTheDelimiterOnlyWhenMissing) {
  struct Row {
    std::string value;
    std::string expected;
  };
  for (const Row& row : {Row{"/LOG/", " \"/LOG/\""}, Row{"/LOG", " \"/LOG/\""}, Row{"", ""},
                         Row{NoValue, ""}, Row{"ログ", " \"ログ/\""}}) {
    TCmdOpt b;
    b.AddDir("", row.value);
    EXPECT_EQ(b.Text, row.expected) << row.value;
  }
  TCmdOpt w;
  w.AddDir("w", "/work");
  EXPECT_EQ(w.Text, " \"-w/work/\"");
}
