// The texts a run shows and the format setting: sizes, the success line,
// and the stored format with LZH when nothing (or something unknown) is stored.
#include <gtest/gtest.h>

#include "app/run/RunSummary.h"
#include "app/settings/ArchiveFormat.h"
#include "platform/Registry.h"
#include "tests/app/AppTestSupport.h"

namespace {

using namespace pelsok::app;

TEST(RunTexts, SizesSwitchUnitAt1024) {
  const std::pair<std::uint64_t, const char*> rows[] = {
      {0, "0 B"}, {1023, "1023 B"}, {1024, "1.0 KB"}, {34603008, "33.0 MB"}, {1503238553, "1.4 GB"},
  };
  for (const auto& [bytes, text] : rows) EXPECT_EQ(SizeText(bytes), text) << bytes;
}

TEST(RunTexts, TheSuccessLineNamesArchiveFilesAndBothSizes) {
  TRunResult r;
  r.Names.ArchiveName = "/var/log/app/DR2611.LZH";
  for (int i = 0; i < 30; ++i) r.Entries.push_back({"DR11.log", 34603008 / 30});
  EXPECT_EQ(SuccessLine(r, 4823449), "DR2611.LZH: 30 ファイル, 33.0 MB → 4.6 MB");
  // What became of the logs follows it: nothing asked, deleted, or cancelled.
  EXPECT_EQ(DeletionLine(r), "");
  r.Confirmed = true;
  r.Deletion.Deleted = {"a", "b"};
  EXPECT_EQ(DeletionLine(r), "2 ファイルを削除しました。");
  r.DeletionCancelled = true;
  EXPECT_EQ(DeletionLine(r), "削除は中止しました。ログは元のままです。");
}

class FormatSetting : public apptest::AppTest {};

TEST_F(FormatSetting, LzhUntilAnotherIsStoredAndUnknownNamesFallBack) {
  EXPECT_STREQ(LoadArchiveFormat().Extension, ".LZH");
  ASSERT_TRUE(FindArchiveFormat("LZH"));
  SaveArchiveFormat(*FindArchiveFormat("Zip"));
  EXPECT_STREQ(LoadArchiveFormat().Extension, ".ZIP");
  {
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\\\Corvane\\\\Pelsok", true));
    reg.WriteString("Format", "Format", "RAR");  // cannot be written
  }
  EXPECT_STREQ(LoadArchiveFormat().Name, "lzh");
  EXPECT_FALSE(FindArchiveFormat("arj").has_value());  // read only
}

}  // namespace
