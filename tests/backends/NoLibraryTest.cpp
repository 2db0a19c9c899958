// Runs in a folder without any archiver library: the missing-library paths
// and the folders a library is looked for in.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/ArchiveFile.h"
#include "archivecore/EArchiver.h"
#include "backends/Lha32.h"
#include "backends/Tar32.h"
#include "platform/DynamicLibrary.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tests/support/ScopedCwd.h"
#include "tests/support/ScopedLibraryPath.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::ScopedCwd;
using testing_support::ScopedLibraryPath;
using testing_support::TempDir;

namespace {
const char* kMissing = "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。";

}  // namespace

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
    ScopedLibraryPath path(withLib.Path());
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

TEST(NoLibrary, ALibraryInTheCurrentFolderIsNeverLoaded) {
  TempDir planted;
  std::filesystem::copy_file(DOUBLE_LIBRARY, planted / "UNLHA32.DLL");
  ScopedCwd cwd(planted.Path());
  // Empty and relative entries of the loader's list would mean the current folder.
  ScopedLibraryPath path("::.:./:sub");
  for (const std::string& dir : platform::LibrarySearchFolders()) {
    EXPECT_NE(dir, planted.Path() + "/");
    EXPECT_EQ(dir.front(), '/') << dir;
  }
  EXPECT_EQ(platform::LoadLibrary("UNLHA32.DLL"), nullptr);
  EXPECT_EQ(platform::LoadLibrary("unlha32.dll"), nullptr);
  TArchiveFile file(nullptr);
  EXPECT_THROW(file.SetFileName("DR9807.LZH"), EArchiver);
  EXPECT_FALSE(IsLhaArchive(planted / "UNLHA32.DLL"));
  EXPECT_FALSE(TLha32::Library().Loaded());
}

TEST(NoLibrary, SearchOrderIsProgramThenInstalledThenLoaderPath) {
  TempDir first;
  TempDir second;
  // Found without regard to case, in the first folder of the list that has it.
  std::filesystem::copy_file(DOUBLE_LIBRARY, first / "Unlha32.Dll");
  std::filesystem::copy_file(DOUBLE_LIBRARY, second / "UNLHA32.DLL");
  ScopedLibraryPath path("relative:" + first.Path() + ":" + second.Path());
  const std::string exe = platform::ExecutableDir();
  EXPECT_EQ(platform::InstalledLibraryFolder(),
            platform::ExpandFileName(exe + "../lib/pelsok") + "/");
  EXPECT_EQ(platform::LibrarySearchFolders(),
            (std::vector<std::string>{exe, platform::InstalledLibraryFolder(), first.Path() + "/",
                                      second.Path() + "/"}));
  platform::LibraryHandle h = platform::LoadLibrary("UNLHA32.DLL");
  ASSERT_NE(h, nullptr) << platform::LastLoadError();
  EXPECT_EQ(platform::GetModuleFileName(h), first / "Unlha32.Dll");
  platform::FreeLibrary(h);
}

TEST(NoLibrary, TarFamilyRaisesItsMessageAndItsCheckAnswersNone) {
  TempDir empty;
  ScopedCwd cwd(empty.Path());
  const std::string tarFile = empty.Write("A.tar", std::string(1024, '\0'));
  EXPECT_EQ(DetectTarType(tarFile), atNone);
  for (const char* name : {"A.tar", "A.tgz", "A.bz2", "A.taz"}) {
    TArchiveFile file(nullptr);
    try {
      file.SetFileName(name);
      ADD_FAILURE() << name;
    } catch (const EArchiver& e) {
      EXPECT_EQ(e.Message(), "tar/tgz/taz/bz2 形式書庫を扱うには tar32.dll が 必要です。") << name;
    }
  }
}
