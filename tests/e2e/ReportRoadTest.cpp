// The reports every library we build hands back through the archive
// component are Japanese, worded alike for the same situation in every
// format; the result codes stay as they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "archive/ArchiveFile.h"
#include "tests/support/Corpus.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::TempDir;

namespace {

struct Row {
  const char* archive;
  const char* foreign;  // a corpus archive when we only read the format
};

const Row kRows[] = {
    {"DR2611.LZH", nullptr}, {"DR2611.ZIP", nullptr},          {"DR2611.TGZ", nullptr},
    {"DR2611.CAB", nullptr}, {"DR2611.ARJ", "arj/sample.arj"}, {"DR2611.RAR", "rar/Rar.rar"},
};

platform::TStringList One(const std::string& line) {
  platform::TStringList l;
  l.Add(line);
  return l;
}

// The fragment is there and none of the English the libraries once wrote.
void ExpectJapanese(const std::string& report, const std::string& fragment) {
  EXPECT_NE(report.find(fragment), std::string::npos) << report;
  for (const char* english : {"matched", "cannot", "entr(y", "member(s)", "file(s)", "is not",
                              "extracted", "Extracted", "Melted", "Inflated", "Skipped"})
    EXPECT_EQ(report.find(english), std::string::npos) << english << "\n" << report;
}

}  // namespace

TEST(ReportRoad, EveryLibraryReportsInJapanese) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.archive);
    TempDir dir;
    dir.Write("DR1101.log", std::string(5000, 'a'));
    const std::string archive = dir / row.archive;
    TArchiveFile file(nullptr);
    file.SetFileName(archive);
    file.SetOutputSize(1 << 16);
    if (row.foreign) {
      std::filesystem::copy_file(testing_support::CorpusDir("") + "/" + row.foreign, archive);
    } else {
      const auto none = One(dir / "DR12*.log");
      EXPECT_EQ(file.Pack(nullptr, "", &none), arc::kNothingMatched);
      ExpectJapanese(file.Output(), "指定に合うファイルがありません");
      EXPECT_FALSE(std::filesystem::exists(archive));
      const auto logs = One(dir / "DR11*.log");
      ASSERT_EQ(file.Pack(nullptr, "", &logs), 0) << file.Output();
    }
    const auto nothing = One("NOTHING*.none");
    EXPECT_EQ(file.Unpack(nullptr, dir / "out/", &nothing), arc::kNothingMatched);
    ExpectJapanese(file.Output(), "指定に合うファイルが書庫にありません");
    EXPECT_EQ(file.Unpack(nullptr, dir / "out/", nullptr), 0) << file.Output();
    ExpectJapanese(file.Output(), "件を展開しました");
  }
}
