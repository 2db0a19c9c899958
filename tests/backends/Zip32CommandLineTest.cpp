#include <gtest/gtest.h>

#include "backends/Zip32.h"

using namespace pelsok;

namespace {

platform::TStringList Lines(std::initializer_list<const char*> lines) {
  platform::TStringList l;
  for (auto s : lines) l.Add(s);
  return l;
}

struct Lines4 {
  std::string pack, lmPack, unpack, remove;
};

Lines4 All(const TArchiverOptions& o, const std::string& baseDir = "") {
  const auto list = Lines({"F"});
  return {TZip32::MakeZipCmdLine("", "A", o, baseDir, &list),
          TZip32::MakeLmZipCmdLine("-ru", "A", o, "", &list),
          TZip32::MakeUnZipCmdLine("-x", "A", o, baseDir, &list),
          TZip32::MakeZipCmdLine("-d", "A", o, "", &list)};
}

}  // namespace

TEST(Zip32CommandLine, ResetValuesAndXOneGiveTheBareLines) {
  TArchiverOptions o;
  for (int x : {-1, 1}) {
    o.x = static_cast<TSwitch>(x);
    const Lines4 l = All(o);
    EXPECT_EQ(l.pack, " -D  \"A\" \"F\" ");
    EXPECT_EQ(l.lmPack, "-ru  \"A\" \"F\" ");
    EXPECT_EQ(l.unpack, "-x  \"A\" \"F\" ");
    EXPECT_EQ(l.remove, "-d -D  \"A\" \"F\" ");
  }
  o.x = 0;  // only exactly 0 junks the folders
  const Lines4 l = All(o);
  EXPECT_EQ(l.pack, " -D -j  \"A\" \"F\" ");
  EXPECT_EQ(l.lmPack, "-ru -j  \"A\" \"F\" ");
  EXPECT_EQ(l.unpack, "-x -j  \"A\" \"F\" ");
  EXPECT_EQ(l.remove, "-d -D -j  \"A\" \"F\" ");
}

TEST(Zip32CommandLine, OptionRows) {
  struct Row {
    const char* what;
    void (*set)(TArchiverOptions&);
    const char* pack;
    const char* lmPack;
    const char* unpack;
  };
  const Row rows[] = {
      {"a 1: -S and -D", [](TArchiverOptions& o) { o.a = 1; }, " -S -D  \"A\" \"F\" ",
       "-ru  \"A\" \"F\" ", "-x  \"A\" \"F\" "},
      {"a 2: only -S", [](TArchiverOptions& o) { o.a = 2; }, " -S  \"A\" \"F\" ",
       "-ru  \"A\" \"F\" ", "-x  \"A\" \"F\" "},
      {"a 0: only -D", [](TArchiverOptions& o) { o.a = 0; }, " -D  \"A\" \"F\" ",
       "-ru  \"A\" \"F\" ", "-x  \"A\" \"F\" "},
      {"c 1: -o to extract and for LMZIP32", [](TArchiverOptions& o) { o.c = 1; },
       " -D  \"A\" \"F\" ", "-ru -o  \"A\" \"F\" ", "-x -o  \"A\" \"F\" "},
      {"c 2: no -o", [](TArchiverOptions& o) { o.c = 2; }, " -D  \"A\" \"F\" ", "-ru  \"A\" \"F\" ",
       "-x  \"A\" \"F\" "},
      {"n 1: --i, -q and -o", [](TArchiverOptions& o) { o.n = 1; }, " -D -q -o  \"A\" \"F\" ",
       "-ru  \"A\" \"F\" ", "-x --i  \"A\" \"F\" "},
      {"n 2: no --i", [](TArchiverOptions& o) { o.n = 2; }, " -D -q -o  \"A\" \"F\" ",
       "-ru  \"A\" \"F\" ", "-x  \"A\" \"F\" "},
      {"jm 5 after -k",
       [](TArchiverOptions& o) {
         o.ji = 1;
         o.jm = 5;
       },
       " -D -k -5  \"A\" \"F\" ", "-ru  \"A\" \"F\" ", "-x  \"A\" \"F\" "},
      {"jm 0", [](TArchiverOptions& o) { o.jm = 0; }, " -D -0  \"A\" \"F\" ", "-ru  \"A\" \"F\" ",
       "-x  \"A\" \"F\" "},
      {"every switch in order",
       [](TArchiverOptions& o) {
         o.a = 1;
         o.l = 1;
         o.n = 1;
         o.r = 1;
         o.u = 1;
         o.x = 0;
         o.jc = 1;
         o.ji = 1;
         o.jm = 9;
         o.gd = 1;
         o.c = 1;
       },
       " -S -D -v -q -r -o -u -j -FF -k -9 -J  \"A\" \"F\" ", "-ru -o -j  \"A\" \"F\" ",
       "-x -o --i -j  \"A\" \"F\" "},
      {"options the ZIP lines ignore",
       [](TArchiverOptions& o) {
         o.e = 1;
         o.w = "/WORK";
         o.jx.Add("p");
         o.jz = "c";
       },
       " -D  \"A\" \"F\" ", "-ru  \"A\" \"F\" ", "-x  \"A\" \"F\" "},
      {"user texts",
       [](TArchiverOptions& o) {
         o.UserOptions = "-P1";
         o.UserFileList = "Z";
       },
       " -D -P1 \"A\" \"F\" Z", "-ru -P1 \"A\" \"F\" Z", "-x -P1 \"A\" \"F\" Z"},
  };
  for (const Row& row : rows) {
    TArchiverOptions o;
    row.set(o);
    const Lines4 l = All(o);
    EXPECT_EQ(l.pack, row.pack) << row.what;
    EXPECT_EQ(l.lmPack, row.lmPack) << row.what;
    EXPECT_EQ(l.unpack, row.unpack) << row.what;
  }
}

TEST(Zip32CommandLine, BaseFolderAndLists) {
  TArchiverOptions o;
  const Lines4 l = All(o, "/LOG");
  EXPECT_EQ(l.pack, " -D  \"A\" \"/LOG/\" \"F\" ");
  EXPECT_EQ(l.unpack, "-x  \"A\" \"/LOG/\" \"F\" ");
  EXPECT_EQ(l.remove, "-d -D  \"A\" \"F\" ");  // Remove drops the base folder
  EXPECT_EQ(TZip32::MakeZipCmdLine("", "A", o, "", nullptr), " -D  \"A\" ");
  const auto two = Lines({"a b", "c"});
  EXPECT_EQ(TZip32::MakeUnZipCmdLine("-x", "A", o, "/out/", &two),
            "-x  \"A\" \"/out/\" \"a b\" \"c\" ");
}
