// The manifest's text: what sha256sum reads of it, the names it must escape,
// the seal over an edit, and which earlier manifest a month links to.
#include <gtest/gtest.h>

#include "app/run/Manifest.h"
#include "app/run/ManifestChain.h"
#include "app/run/Sha256.h"
#include "tests/support/Command.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tools.h"

namespace {

using namespace pelsok::app;

TManifest Sample(const std::string& folder = "") {
  TManifest m;
  m.Written = ManifestTime(1796000000);
  m.Host = "srv1";
  m.User = "root";
  m.Format = "LZH";
  m.Archive = {TextSha256("archive"), "DR2611.LZH"};
  m.Members = {{TextSha256("one\n"), "DR1101.log"},
               {TextSha256("two\n"), "odd\\name\nwith break.log"}};
  m.Unhashed = {"DR1103.log"};
  m.Previous = TManifestLine{TextSha256("previous"), "DR2610.LZH.sha256"};
  m.Replaces = TManifestLine{TextSha256("earlier"), "DR2611.LZH.sha256"};
  m.ReplacesWritten = ManifestTime(1795000000);
  m.Deleted = {{ManifestTime(1796000005), folder + "DR1101.log"}};
  return m;
}

TEST(ManifestTest, RoundTripsAndTheSealCatchesAOneByteEdit) {
  const TManifest m = Sample("/var/log/app/");
  const std::string text = FormatManifest(m);
  const auto parsed = ParseManifest(text);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->Manifest, m);
  EXPECT_TRUE(parsed->Sealed && parsed->SealMatches);
  EXPECT_TRUE(parsed->BadLines.empty());
  // One byte changed anywhere above the seal, or a line added after it.
  for (std::size_t at : {text.find("srv1"), text.find("DR1101.log"), text.find("deleted")}) {
    std::string edited = text;
    edited[at] ^= 1;
    const auto e = ParseManifest(edited);
    ASSERT_TRUE(e);
    EXPECT_FALSE(e->SealMatches) << at;
  }
  EXPECT_FALSE(ParseManifest(text + TextSha256("x") + "  more.log\n")->SealMatches);
  EXPECT_FALSE(ParseManifest("# other\n" + text));
}

TEST(ManifestTest, Sha256sumChecksAFormattedManifestBesideItsFiles) {
  SKIP_WITHOUT_TOOL("sha256sum");
  const testing_support::TempDir dir;
  TManifest m = Sample();
  dir.Write("DR1101.log", "one\n");
  dir.Write("odd\\name\nwith break.log", "two\n");
  dir.Write("DR2610.LZH.sha256", "previous");
  dir.Write("DR2611.LZH", "archive");
  dir.Write("DR2611.LZH.sha256", FormatManifest(m));
  auto r =
      testing_support::RunCommand("sha256sum -c --ignore-missing DR2611.LZH.sha256", dir.Path());
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output.find("improperly formatted"), std::string::npos) << r.output;
  // A changed file fails by its name.
  dir.Write("DR1101.log", "One\n");
  r = testing_support::RunCommand("sha256sum -c --ignore-missing DR2611.LZH.sha256", dir.Path());
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.output.find("DR1101.log: FAILED"), std::string::npos) << r.output;
}

TEST(ManifestTest, AMonthLinksToTheKindsNewestEarlierManifest) {
  struct Row {
    const char* name;
    std::vector<const char*> files;
    const char* year;
    int month;
    const char* manifest;         // expected, "" for none
    const char* withoutManifest;  // expected
  };
  const Row rows[] = {
      {"the month before",
       {"DR2610.LZH", "DR2610.LZH.sha256", "DR2609.LZH.sha256"},
       "26",
       11,
       "DR2610.LZH.sha256",
       ""},
      {"December before January",
       {"DR2512.ZIP.sha256", "DR2511.LZH.sha256", "DR2602.LZH.sha256"},
       "26",
       1,
       "DR2512.ZIP.sha256",
       ""},
      {"a gap, another format",
       {"DR2607.TZST.sha256", "DR2611.LZH.sha256"},
       "26",
       11,
       "DR2607.TZST.sha256",
       ""},
      {"look-alikes never count",
       {"DD2610.LZH.sha256", "DR2610.LZH.bak.sha256", "dr2610.LZH.sha256", "DR2613.LZH.sha256",
        "DR261.LZH.sha256", "DR2610.lzh.sha256", "DR2609.XYZ.sha256"},
       "26",
       11,
       "",
       ""},
      {"a month with its archive only",
       {"DR2610.ZIP", "DR2608.LZH", "DR2608.LZH.sha256"},
       "26",
       11,
       "DR2608.LZH.sha256",
       "DR2610.ZIP"},
      {"a four-digit year",
       {"DR202610.LZH.sha256", "DR2610.LZH.sha256"},
       "2026",
       11,
       "DR202610.LZH.sha256",
       ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const testing_support::TempDir dir;
    for (const char* f : row.files) dir.Write(f, "x");
    const TEarlierMonth e = FindEarlierMonth(dir / ("DR" + std::string(row.year) + "11.LZH"), "DR",
                                             row.year, row.month);
    EXPECT_EQ(e.Manifest, *row.manifest ? dir / row.manifest : "");
    EXPECT_EQ(e.ArchiveWithoutManifest, *row.withoutManifest ? dir / row.withoutManifest : "");
  }
}

}  // namespace
