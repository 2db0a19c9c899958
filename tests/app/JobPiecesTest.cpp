// The pieces of the monthly job that need no archiver: which months are
// pending in a folder, and how an after-run command is split into words.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/run/AfterCommand.h"
#include "app/run/PendingMonths.h"
#include "platform/DateTime.h"
#include "tests/support/TempDir.h"

namespace {

using pelsok::app::PendingMonths;
using pelsok::app::TPendingMonth;

TEST(PendingMonths, EveryCompleteMonthOldestFirstNeverTheCurrentOne) {
  const struct {
    const char* what;
    bool sixDigit;
    int year, month;  // today
    std::vector<const char*> files;
    std::vector<TPendingMonth> pending;
  } rows[] = {
      {"December: November is this year's, December is today's",
       false,
       2026,
       12,
       {"DR1101.log", "DR1130.log", "DR1201.log"},
       {{"26", "11"}}},
      {"March: a December log is last year's",
       false,
       2026,
       3,
       {"DR1201.log", "DR0101.log", "DR0201.log", "DR0301.log"},
       {{"25", "12"}, {"26", "1"}, {"26", "2"}}},
      {"January: every other month is last year's",
       false,
       2027,
       1,
       {"DR0101.log", "DR1231.log", "DR0601.log"},
       {{"26", "6"}, {"26", "12"}}},
      {"names that are no month of this kind",
       false,
       2026,
       12,
       {"DR1301.log", "DR0001.log", "DRX101.log", "DD1101.log", "DR11.txt", "DR1.log"},
       {}},
      {"6-digit: the year is the name's; today's month and later wait",
       true,
       2026,
       12,
       {"DR251201.log", "DR260101.log", "DR261201.log", "DR270101.log", "DR2613.log"},
       {{"25", "12"}, {"26", "1"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    testing_support::TempDir dir;
    for (const char* f : row.files) dir.Write(f, "x\n");
    dir.Folder(row.sixDigit ? "DR2611.log" : "DR1001.log");  // a folder is no log
    const std::string folder = row.sixDigit ? dir.Path() + "/" : dir.Path() + "/";
    std::vector<TPendingMonth> got;
    if (row.sixDigit) {
      // 6-digit names are looked for in the current folder.
      const std::string here = std::filesystem::current_path();
      std::filesystem::current_path(dir.Path());
      got = PendingMonths("", "DR", true, platform::EncodeDate(row.year, row.month, 10));
      std::filesystem::current_path(here);
    } else {
      got = PendingMonths(folder, "DR", false, platform::EncodeDate(row.year, row.month, 10));
    }
    EXPECT_EQ(got, row.pending);
  }
}

TEST(AfterCommand, SplitsAsAShellWouldAndExpandsNothing) {
  using pelsok::app::SplitCommandWords;
  const struct {
    const char* text;
    std::vector<std::string> words;
  } rows[] = {
      {"rclone copy remote:logs", {"rclone", "copy", "remote:logs"}},
      {"  rsync\t-a  'host:/srv/log archive/' ", {"rsync", "-a", "host:/srv/log archive/"}},
      {R"(a "b \"c\" \$d \x" e\ f)", {"a", R"(b "c" $d \x)", "e f"}},
      {"$HOME ~ * `id` $(id)", {"$HOME", "~", "*", "`id`", "$(id)"}},
      {"x''y \"\"", {"xy", ""}},
  };
  for (const auto& row : rows) EXPECT_EQ(SplitCommandWords(row.text), row.words) << row.text;
  for (const char* bad : {"", "   ", "a 'b", "a \"b", "a\\"})
    EXPECT_THROW(SplitCommandWords(bad), std::exception) << bad;
}

}  // namespace
