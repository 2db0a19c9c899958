#include <gtest/gtest.h>

#include "backends/Cab32.h"

using namespace pelsok;

namespace {

platform::TStringList Lines(std::initializer_list<const char*> lines) {
  platform::TStringList l;
  for (auto s : lines) l.Add(s);
  return l;
}

}  // namespace

TEST(Cab32CommandLine, TheWorkedExample) {
  TArchiverOptions o;
  const auto list = Lines({"*.log"});
  EXPECT_EQ(TCab32::MakeCmdLine("-a", "/LOG/A.CAB", o, "/LOG", &list),
            "-a  \"/LOG/A.CAB\" \"/LOG/\" \"*.log\" ");
}

TEST(Cab32CommandLine, OptionRows) {
  struct Row {
    const char* what;
    void (*set)(TArchiverOptions&);
    std::string expected;
  };
  const Row rows[] = {
      {"defaults", [](TArchiverOptions&) {}, "-x  \"A\" \"F\" "},
      {"c 1", [](TArchiverOptions& o) { o.c = 1; }, "-x -o  \"A\" \"F\" "},
      {"c 2", [](TArchiverOptions& o) { o.c = 2; }, "-x  \"A\" \"F\" "},
      {"n 1", [](TArchiverOptions& o) { o.n = 1; }, "-x -i  \"A\" \"F\" "},
      {"n 2", [](TArchiverOptions& o) { o.n = 2; }, "-x  \"A\" \"F\" "},
      {"r 2", [](TArchiverOptions& o) { o.r = 2; }, "-x -r  \"A\" \"F\" "},
      {"r 0", [](TArchiverOptions& o) { o.r = 0; }, "-x  \"A\" \"F\" "},
      {"x 0", [](TArchiverOptions& o) { o.x = 0; }, "-x -j  \"A\" \"F\" "},
      {"x 1", [](TArchiverOptions& o) { o.x = 1; }, "-x  \"A\" \"F\" "},
      {"other options are not read",
       [](TArchiverOptions& o) {
         o.a = 1;
         o.m = 1;
         o.jx.Add("q");
         o.w = "/WORK";
       },
       "-x  \"A\" \"F\" "},
      {"all four in order, user texts verbatim",
       [](TArchiverOptions& o) {
         o.x = 0;
         o.r = 1;
         o.n = 1;
         o.c = 1;
         o.UserOptions = "-m0";
         o.UserFileList = "\"Z\"";
       },
       "-x -o -i -r -j -m0 \"A\" \"F\" \"Z\""},
  };
  const auto list = Lines({"F"});
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TArchiverOptions o;
    row.set(o);
    EXPECT_EQ(TCab32::MakeCmdLine("-x", "A", o, "", &list), row.expected);
  }
}

TEST(Cab32CommandLine, ArchiveFolderAndList) {
  TArchiverOptions o;
  const auto two = Lines({"a b", ""});
  EXPECT_EQ(TCab32::MakeCmdLine("-a", "", o, "", nullptr), "-a  \"\" ");
  EXPECT_EQ(TCab32::MakeCmdLine("-a", "A", o, "/D/", &two), "-a  \"A\" \"/D/\" \"a b\" \"\" ");
}
