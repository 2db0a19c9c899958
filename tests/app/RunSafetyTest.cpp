// A month's logs are never lost to runs that overlap: a second run for
// the same archive is refused while the first holds it.
#include "app/core/CompressRun.h"
#include "tests/app/RunSafetyFixture.h"

namespace {

namespace fs = std::filesystem;
using namespace pelsok::app;
using apptest::RunSafetyTest;

TEST_F(RunSafetyTest, ASecondRunIsRefusedWhileTheFirstHoldsTheArchive) {
  const auto logs = MakeLogs(Folder(), "DR11", 30);
  TRunState state;
  TCompressRun run(state);
  apptest::CommandResult second;
  // The first run waits at its confirmation while the second one starts.
  const TRunResult first = run.Run({Folder(), "DR", "26", "11", false, true}, [&] {
    second = Cli();
    return true;
  });
  EXPECT_EQ(second.status, 3) << second.output;
  EXPECT_NE(second.output.find("別の実行が作成中です"), std::string::npos) << second.output;
  EXPECT_EQ(first.Deletion.Deleted.size(), logs.size());
  EXPECT_EQ(ArchivedAndTested().size(), logs.size());
  EXPECT_FALSE(fs::exists(dir / "DR2611.LZH.lock"));
}

}  // namespace
