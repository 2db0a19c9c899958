// Progress and cancel through the archive component, for every library we
// build: each back end hands the calling thread's listener to its library,
// the library tells how far a command got, and a listener that answers
// false stops the command with the old archive as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include "archive/ArchiveFile.h"
#include "backends/ProgressHook.h"

#include "tests/support/Corpus.h"
#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::TempDir;

namespace {

struct Row {
  const char* archive;
  bool canWrite;
  const char* foreign;  // a corpus archive to extract when the format is read only
};

const Row kRows[] = {
    {"DR2611.LZH", true, nullptr},           {"DR2611.ZIP", true, nullptr},
    {"DR2611.TGZ", true, nullptr},           {"DR2611.CAB", true, nullptr},
    {"DR2611.ARJ", false, "arj/sample.arj"}, {"DR2611.RAR", false, "rar/Rar.rar"},
};

platform::TStringList One(const std::string& line) {
  platform::TStringList l;
  l.Add(line);
  return l;
}

}  // namespace

TEST(ProgressRoad, EveryLibraryTellsProgressAndStopsWhenTold) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.archive);
    TempDir dir;
    for (int day = 1; day <= 3; ++day)
      dir.Write("DR110" + std::to_string(day) + ".log", std::string(200000, 'a' + day));
    const std::string archive = dir / row.archive;
    if (row.canWrite) {
      // Cancelled at the first report: nothing is left behind.
      TArchiveFile file(nullptr);
      file.SetFileName(archive);
      const auto masks = One(dir / "DR11*.log");
      int told = 0;
      {
        const TProgressScope scope([&](const ArcProgress&) {
          ++told;
          return false;
        });
        EXPECT_EQ(file.Pack(nullptr, "", &masks), arc::kCancelled);
      }
      EXPECT_GE(told, 1);
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);
      ASSERT_EQ(file.Pack(nullptr, "", &masks), 0);
    } else {
      std::filesystem::copy_file(testing_support::CorpusDir("") + "/" + row.foreign, archive);
    }
    // Extraction tells its progress too, and stops when told.
    TArchiveFile file(nullptr);
    file.SetFileName(archive);
    int told = 0;
    const TProgressScope scope([&](const ArcProgress&) { return ++told < 1000000; });
    EXPECT_EQ(file.Unpack(nullptr, dir / "out/", nullptr), 0) << file.Output().c_str();
    EXPECT_GE(told, 1);
    const TProgressScope stop([&](const ArcProgress&) { return false; });
    EXPECT_EQ(file.Unpack(nullptr, dir / "again/", nullptr), arc::kCancelled);
  }
}
