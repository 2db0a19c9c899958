// The RAR back end where no UNRAR32.DLL can be found: construction fails
// with its message and binds nothing, the content check answers no.
#include <gtest/gtest.h>

#include "archive/ArchiveFile.h"
#include "archive/GetArchiverType.h"
#include "archivecore/EArchiver.h"
#include "archivecore/NoValue.h"
#include "backends/Rar32.h"
#include "tests/support/Files.h"
#include "tests/support/ScopedCwd.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tools.h"

using namespace pelsok;
using testing_support::ScopedCwd;
using testing_support::TempDir;

TEST(Rar32NoLibrary, ConstructionFailsWithItsMessageAndTheCheckSaysNo) {
  TempDir empty;
  ScopedCwd cwd(empty.Path());
  empty.Write("A.RAR", "Rar!\x1a\x07");
  try {
    TRar32 rar;
    FAIL() << "constructed without the library";
  } catch (const EArchiver& e) {
    EXPECT_EQ(e.Message(), "この機能の使用には UNRAR32.DLL が 必要です。");
  }
  TArchiveFile file(nullptr);
  EXPECT_THROW(file.SetFileName("A.RAR"), EArchiver);
  EXPECT_TRUE(IsNoValue(file.FileName()));
  EXPECT_EQ(file.Archiver(), nullptr);
  EXPECT_FALSE(IsRarArchive("A.RAR"));
  EXPECT_NE(GetArchiverType("A.RAR", false), atRar);
  EXPECT_FALSE(TRar32::Library().Loaded());
}
