// The listing entries both libraries export, and the record they fill.
#include "ZipHarness.h"

namespace ziptest {
namespace {

TEST_F(ZipTest, ListingFillsTheRecordAndFollowsTheWildcard) {
  const std::string data = LogText(50000, 3);
  WriteFile(Path("src/a.log"), data);
  WriteFile(Path("src/b.txt"), "b");
  WriteFile(Path("src/d/c.log"), "c");
  ASSERT_EQ(Zip("-r " + Q(P("l.zip")) + " " + Q(P("src") + "/") + " *").result, 0);
  for (const ArchiverLibrary* lib : {&kZip32j, &kUnzip32}) {
    EXPECT_EQ(ListNames(*lib, P("l.zip")),
              (std::vector<std::string>{"a.log", "b.txt", "d/", "d/c.log"}));
    EXPECT_EQ(ListNames(*lib, P("l.zip"), "*.log"), (std::vector<std::string>{"a.log", "d/c.log"}));
    EXPECT_EQ(ListNames(*lib, P("l.zip"), "d/*"), (std::vector<std::string>{"d/c.log"}));
    const ArcHandle h = lib->open(nullptr, P("l.zip").c_str(), 0x800002);
    ASSERT_NE(h, 0);
    TArchiveEntryInfo info{};
    ASSERT_EQ(lib->findFirst(h, "a.log", &info), 0);
    EXPECT_EQ(info.OriginalSize, data.size());
    EXPECT_LT(info.CompressedSize, info.OriginalSize);
    EXPECT_EQ(info.Crc, Crc32(data));
    EXPECT_STREQ(info.Method, "deflate");
    EXPECT_STREQ(info.Attribute, "-a--");
    EXPECT_NE(lib->findNext(h, &info), 0);
    EXPECT_EQ(lib->close(h), 0);
    EXPECT_NE(lib->close(h), 0);  // closed already
    EXPECT_NE(lib->findFirst(h, "*", &info), 0);
  }
}

TEST_F(ZipTest, WhatIsNotAZipOpensNoListing) {
  WriteFile(Path("text.zip"), "no archive here");
  WriteFile(Path("empty.zip"), "");
  for (const char* name : {"text.zip", "empty.zip", "missing.zip"})
    EXPECT_EQ(kUnzip32.open(nullptr, P(name).c_str(), 0), 0) << name;
  const ArcCheckArchiveProc check = kUnzip32.check;
  ASSERT_NE(check, nullptr);
  EXPECT_EQ(check(P("text.zip").c_str(), 0), 0);
  EXPECT_EQ(check((std::string(DATA_DIR) + "/Zip.deflate.zip").c_str(), 0), 1);
}

}  // namespace
}  // namespace ziptest
