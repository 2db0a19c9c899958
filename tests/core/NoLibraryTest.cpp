// Runs in a folder without any archiver library: the missing-library paths.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/ArchiveFile.h"
#include "archive/EArchiver.h"
#include "backends/Lha32.h"
#include "tests/support/ScopedCwd.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::ScopedCwd;
using testing_support::TempDir;

namespace {
const char* kMissing = "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。";
}

TEST(NoLibrary, FailedConstructionChangesNothing) {
  TempDir empty;
  ScopedCwd cwd(empty.Path());
  TArchiveFile file(nullptr);
  try {
    file.SetFileName("DR9807.LZH");
    FAIL();
  } catch (const EArchiver& e) {
    EXPECT_EQ(e.Message(), kMissing);
  }
  EXPECT_TRUE(IsNoValue(file.FileName()));
  EXPECT_EQ(file.ArchiverType(), atAutoDetect);
  EXPECT_EQ(file.Archiver(), nullptr);
  EXPECT_FALSE(IsLhaArchive("DR9807.LZH"));
}

TEST(NoLibrary, FailedReplacementKeepsTheBoundBackEnd) {
  TempDir withLib;
  TempDir empty;
  std::filesystem::copy_file(DOUBLE_LIBRARY, withLib / "UNLHA32.DLL");
  TArchiveFile file(nullptr);
  {
    ScopedCwd cwd(withLib.Path());  // found in the current folder
    file.SetFileName("a.lzh");
  }
  TArchiver* bound = file.Archiver();
  ASSERT_NE(bound, nullptr);
  TLha32::Library().Unload();
  ScopedCwd cwd(empty.Path());
  EXPECT_THROW(file.SetFileName("b.lzh"), EArchiver);
  EXPECT_EQ(file.FileName(), "a.lzh");
  EXPECT_EQ(file.ArchiverType(), atLha);
  EXPECT_EQ(file.Archiver(), bound);
  // The content check answers no without raising.
  EXPECT_FALSE(IsLhaArchive("a.lzh"));
}
