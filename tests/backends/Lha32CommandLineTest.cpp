#include <gtest/gtest.h>

#include "archivecore/NoValue.h"
#include "backends/Lha32.h"

using namespace pelsok;

namespace {

platform::TStringList Lines(std::initializer_list<const char*> lines) {
  platform::TStringList l;
  for (auto s : lines) l.Add(s);
  return l;
}

}  // namespace

TEST(Lha32CommandLine, TheCompressRunLine) {
  TArchiverOptions o;
  o.x = 1;
  const auto list = Lines({"/LOG/DR07*.log"});
  EXPECT_EQ(TLha32::MakeCmdLine("u", "/LOG/DR9807.LZH", o, "", &list),
            "u -+ -x1  \"/LOG/DR9807.LZH\" \"/LOG/DR07*.log\" ");
}

TEST(Lha32CommandLine, Rows) {
  struct Row {
    const char* what;
    void (*set)(TArchiverOptions&);
    std::string command;
    std::string baseDir;
    bool withList;
    std::string expected;
  };
  const Row rows[] = {
      {"reset values", [](TArchiverOptions&) {}, "u", "", true, "u -+  \"A\" \"F\" "},
      {"empty jo after jn",
       [](TArchiverOptions& o) {
         o.jo = "";
         o.jn = 3;
       },
       "u", "", true, "u -+ -jn3 \"-jo\"  \"A\" \"F\" "},
      {"empty jo alone", [](TArchiverOptions& o) { o.jo = ""; }, "u", "", true,
       "u -+ \"-jo\"  \"A\" \"F\" "},
      {"w and base folder", [](TArchiverOptions& o) { o.w = "/WORK"; }, "x", "/WORK", true,
       "x -+ \"-w/WORK/\"  \"A\" \"/WORK/\" \"F\" "},
      {"base folder kept", [](TArchiverOptions&) {}, "x", "/WORK/", true,
       "x -+  \"A\" \"/WORK/\" \"F\" "},
      {"x values",
       [](TArchiverOptions& o) {
         o.x = -2;
         o.a = 0;
       },
       "u", "", true, "u -+ -a0 -x-2  \"A\" \"F\" "},
      {"jx between jw and jyc",
       [](TArchiverOptions& o) {
         o.jx.Add("p");
         o.jx.Add("q");
         o.jw = 1;
         o.jyc = 2;
       },
       "u", "", true, "u -+ -jw1 \"-jxp\" \"-jxq\" -jyc2  \"A\" \"F\" "},
      {"user texts",
       [](TArchiverOptions& o) {
         o.UserOptions = "-k";
         o.UserFileList = "Z";
       },
       "u", "", true, "u -+ -k \"A\" \"F\" Z"},
      {"strings in order",
       [](TArchiverOptions& o) {
         o.job = "990101";
         o.jz = "c";
         o.gr = "r";
         o.gw = 1;
       },
       "u", "", true, "u -+ \"-job990101\" \"-jzc\" \"-grr\" -gw1  \"A\" \"F\" "},
  };
  const auto list = Lines({"F"});
  for (const Row& row : rows) {
    TArchiverOptions o;
    row.set(o);
    EXPECT_EQ(TLha32::MakeCmdLine(row.command, "A", o, row.baseDir, row.withList ? &list : nullptr),
              row.expected)
        << row.what;
  }
}

TEST(Lha32CommandLine, EmptyPiecesAndNoList) {
  TArchiverOptions o;
  const platform::TStringList empty;
  EXPECT_EQ(TLha32::MakeCmdLine("u", "A", o, "", &empty), "u -+  \"A\" ");
  EXPECT_EQ(TLha32::MakeCmdLine("u", "", o, "", &empty), "u -+  \"\" ");
  EXPECT_EQ(TLha32::MakeCmdLine("s", "A", o, "", nullptr), "s -+  \"A\" ");
  EXPECT_EQ(TLha32::MakeCmdLine("u", NoValue, o, "", nullptr), "u -+  ");
}
