// The viewer's search and its context view on archives our libraries make:
// fixed strings against regular expressions, the cap on rows, and the lines
// shown around a match.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "app/run/ArchiveSearch.h"
#include "backends/ProgressHook.h"
#include "tests/app/SampleArchive.h"

namespace {

using namespace pelsok::app;

class ViewerSearchTest : public apptest::SampleArchiveTest {
 protected:
  void SetUp() override {
    SampleArchiveTest::SetUp();
    if (IsSkipped()) return;
    // 60 lines: line 31 the error, line 40 a long one, 45 and 46 look alike.
    std::string body;
    for (int n = 1; n <= 60; ++n)
      body += n == 31   ? "ERROR disk a:b full\n"
              : n == 40 ? std::string(5000, 'x') + "\n"
              : n == 45 ? "a.b\n"
              : n == 46 ? "axb\n"
                        : "ok " + std::to_string(n) + "\n";
    testing_support::WriteFile(logFolder + "DR1105.log", body);
    std::string many;
    for (std::size_t n = 0; n <= kMaxSearchHits; ++n) many += "hitline\n";
    testing_support::WriteFile(logFolder + "DR1106.log", many);
  }
};

TEST_F(ViewerSearchTest, ListsMatchingLinesAndShowsThemInContext) {
  for (const char* format : {"lzh", "zip"}) {
    SCOPED_TRACE(format);
    const std::string archive = apptest::PackSampleLogs(logFolder, format);
    const struct {
      TSearchRequest request;
      std::vector<std::uint64_t> lines;  // in DR1105.log
    } rows[] = {
        {{"ERROR disk", false, false}, {31}}, {{"error DISK", false, true}, {31}},
        {{"a.b", false, false}, {45}},  // fixed: the dot is a dot
        {{"^a.b$", true, false}, {45, 46}},   {{"nowhere", false, false}, {}},
    };
    for (const auto& row : rows) {
      SCOPED_TRACE(row.request.Pattern);
      const TSearchOutcome o = SearchMembers(archive, row.request);
      EXPECT_TRUE(o.Errors.empty()) << o.Errors.front();
      std::vector<std::uint64_t> lines;
      for (const auto& hit : o.Hits) {
        EXPECT_EQ(hit.Member, Stored("DR1105.log"));
        lines.push_back(hit.Line);
      }
      EXPECT_EQ(lines, row.lines);
    }
    EXPECT_EQ(SearchMembers(archive, {"ERROR", false, false}).Hits.at(0).Text,
              "ERROR disk a:b full");
    EXPECT_THROW(SearchMembers(archive, {"(", true, false}), std::invalid_argument);

    const TSearchOutcome many = SearchMembers(archive, {"hitline", false, false});
    EXPECT_TRUE(many.Cut);
    EXPECT_EQ(many.Hits.size(), kMaxSearchHits);
    EXPECT_NE(SearchSummary(many).find("最初の 10000 行"), std::string::npos);

    {
      // Cancel from the progress panel: the walk stops, and that is no error.
      const pelsok::TProgressScope cancel([](const ArcProgress& p) {
        return std::string(p.current).find("DR1106") == std::string::npos;
      });
      const TSearchOutcome stopped = SearchMembers(archive, {"hitline", false, false});
      EXPECT_TRUE(stopped.Cancelled);
      EXPECT_TRUE(stopped.Hits.empty());
      EXPECT_TRUE(stopped.Errors.empty()) << stopped.Errors.front();
      EXPECT_NE(SearchSummary(stopped).find("中止"), std::string::npos);
    }

    // The context: kContextLines either side, the line marked, long lines cut.
    TMemberContext c = ReadMemberContext(archive, Stored("DR1105.log"), 31);
    EXPECT_TRUE(c.Found);
    EXPECT_EQ(c.FirstLine, 11u);
    EXPECT_NE(c.Text.find(">     31  ERROR disk a:b full\n"), std::string::npos) << c.Text;
    EXPECT_EQ(c.Text.rfind("      51  ok 51"), c.Text.size() - 15) << c.Text;
    EXPECT_NE(c.Text.find(std::string(kContextLineBytes, 'x') + " …(行の残りは省略)"),
              std::string::npos);
    EXPECT_NE(c.Note.find("11〜51 行目、以降は省略"), std::string::npos) << c.Note;
    c = ReadMemberContext(archive, Stored("DR1105.log"), 59);
    EXPECT_NE(c.Note.find("39〜60 行目、ファイルの終わりまで"), std::string::npos) << c.Note;
    c = ReadMemberContext(archive, Stored("DR1105.log"), 2);
    EXPECT_EQ(c.FirstLine, 1u);
    EXPECT_EQ(c.Text.rfind("       1  ok 1\n", 0), 0u) << c.Text;
    EXPECT_FALSE(ReadMemberContext(archive, Stored("DR1105.log"), 500).Found);
    EXPECT_THROW(ReadMemberContext(archive, "no/such.log", 1), std::exception);
    std::filesystem::remove(archive);
  }
}

}  // namespace
