// Stored names to paths: separators of every header level, Shift-JIS names
// whose second bytes look like '\', unsafe names, and names written back.
#include <gtest/gtest.h>

#include "lzharc/EntryName.h"

namespace {

lzh::EntryPath Decode(const std::string& dir, const std::string& file,
                      std::optional<std::uint16_t> mode = {}) {
  lzh::EntryHeader h;
  h.dirName = dir;
  h.fileName = file;
  h.unixMode = mode;
  return lzh::DecodeEntryPath(h);
}

TEST(EntryName, SeparatorsOfEveryLevel) {
  EXPECT_EQ(Decode("", "LOG\\DR0715.log").Joined(), "LOG/DR0715.log");
  EXPECT_EQ(Decode("", "LOG/DR0715.log").Joined(), "LOG/DR0715.log");
  EXPECT_EQ(Decode("srv\xFFLOG\xFF", "DR0715.log").Joined(), "srv/LOG/DR0715.log");
  EXPECT_EQ(Decode("srv\xFFLOG", "DR0715.log").Joined(), "srv/LOG/DR0715.log");
  EXPECT_EQ(Decode("", "a\\.\\b\\\\c").Joined(), "a/b/c");
  EXPECT_TRUE(Decode("", "ok\\name").IsSafe());
}

TEST(EntryName, ShiftJisNamesAreConvertedWithoutSplittingTrailBytes) {
  // 表示\ソース.txt in Shift-JIS: 表 = 95 5C, ソ = 83 5C.
  auto p = Decode("", "\x95\x5C\x8E\xA6\\\x83\x5C\x81\x5B\x83\x58.txt");
  ASSERT_EQ(p.parts.size(), 2u);
  EXPECT_EQ(p.parts[0], "表示");
  EXPECT_EQ(p.parts[1], "ソース.txt");
  EXPECT_EQ(Decode("\x95\x5C\x8E\xA6\xFF", "a.txt").Joined(), "表示/a.txt");
  // UTF-8 stays as it is.
  EXPECT_EQ(Decode("ログ\xFF", "日本語.log").Joined(), "ログ/日本語.log");
}

TEST(EntryName, UnsafeNames) {
  EXPECT_TRUE(Decode("", "\\etc\\passwd").absolute);
  EXPECT_TRUE(Decode("", "/etc/passwd").absolute);
  EXPECT_TRUE(Decode("\xFF"
                     "etc\xFF",
                     "passwd")
                  .absolute);
  EXPECT_TRUE(Decode("", "C:\\autoexec.bat").absolute);
  EXPECT_TRUE(Decode("", "..\\x").hasParent);
  EXPECT_TRUE(Decode("a\xFF..\xFF..\xFF", "x").hasParent);
  EXPECT_FALSE(Decode("", "..\\x").IsSafe());
  EXPECT_FALSE(Decode("", "").IsSafe());
  EXPECT_FALSE(Decode("", "..x").hasParent);  // only a whole ".." part
  auto link = Decode("", "foo.txt|bar.txt", 0120777);
  EXPECT_TRUE(link.symlink);
  EXPECT_EQ(link.Joined(), "foo.txt");
}

TEST(EntryName, EncodingForTheHeader) {
  auto s = lzh::EncodeStoredName({"srv", "LOG", "DR0715.log"}, false);
  EXPECT_EQ(s.dirName, "srv\xFFLOG\xFF");
  EXPECT_EQ(s.fileName, "DR0715.log");
  s = lzh::EncodeStoredName({"表示", "ソース.txt"}, true);
  EXPECT_EQ(s.dirName, "\x95\x5C\x8E\xA6\xFF");
  EXPECT_EQ(s.fileName, "\x83\x5C\x81\x5B\x83\x58.txt");
  EXPECT_THROW(lzh::EncodeStoredName({"😀.txt"}, true), std::runtime_error);
  EXPECT_EQ(lzh::PrintableName("a\x1b]0;x\x07"), "a?]0;x?");
}

}  // namespace
