// The CAB back end in a folder without CAB32.DLL.
#include <gtest/gtest.h>

#include "archivecore/EArchiver.h"
#include "backends/Cab32.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::TempDir;

TEST(Cab32NoLibrary, ConstructionFailsAndTheContentCheckSaysNo) {
  TempDir dir;
  try {
    TCab32 cab;
    FAIL() << "no exception";
  } catch (const EArchiver& e) {
    EXPECT_EQ(e.Message(), "CAB 形式書庫を扱うには CAB32.DLL が 必要です。");
  }
  EXPECT_FALSE(IsCabArchive(dir.Write("a.cab", "MSCF")));
  EXPECT_FALSE(IsCabArchive(dir / "missing.cab"));
}
