// MakeSfx of the TAR back ends: the stub found on the search path, the
// archive after it, written whole or not at all, executable; the BZ2 refusal
// and the archive that already ends in .EXE.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "archivecore/EArchiver.h"
#include "backends/Tar32.h"
#include "tests/support/Files.h"
#include "tests/support/ScopedCwd.h"
#include "tests/support/TempDir.h"

using namespace pelsok;
using testing_support::ReadFile;
using testing_support::ScopedCwd;
using testing_support::TempDir;

namespace {

// The current folder is on the search path, so a stub there is found.
class Tar32SfxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* p = std::getenv("PATH")) oldPath_ = p;
    setenv("PATH", "/nonexistent-pelsok", 1);
  }
  void TearDown() override { setenv("PATH", oldPath_.c_str(), 1); }
  std::string oldPath_;
  TempDir dir_;
  TArchiverOptions options_;
  std::string output_;
};

TEST_F(Tar32SfxTest, StubThenArchiveIntoAnExecutableExe) {
  ScopedCwd cwd(dir_.Path());
  dir_.Write("kmtarsef.exe", "STUB-BYTES");
  const std::string archive = dir_.Write("sub/B.TGZ", "ARCHIVE-BYTES");
  dir_.Write("sub/B.EXE", "an old file that is replaced");
  TTgz32 tgz;
  EXPECT_EQ(tgz.MakeSfx(nullptr, archive, options_, output_), 0);
  EXPECT_EQ(ReadFile(dir_ / "sub/B.EXE"), "STUB-BYTESARCHIVE-BYTES");
  EXPECT_EQ(ReadFile(archive), "ARCHIVE-BYTES");
  EXPECT_TRUE(tgz.CommandLine.empty());
  struct stat st {};
  ASSERT_EQ(::stat((dir_ / "sub/B.EXE").c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IXUSR, 0u);
  // A name without an extension gets .EXE appended; only .EXE files and the
  // archive are left (no temporary file).
  TTar32 tar;
  const std::string bare = dir_.Write("sub/C", "TAR");
  EXPECT_EQ(tar.MakeSfx(nullptr, bare, options_, output_), 0);
  EXPECT_EQ(ReadFile(dir_ / "sub/C.EXE"), "STUB-BYTESTAR");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir_ / "sub")) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 4);
}

TEST_F(Tar32SfxTest, Bz2IsRefusedBeforeAnyFileIsTouched) {
  TBZ232 bz2;
  try {
    bz2.MakeSfx(nullptr, dir_ / "A.BZ2", options_, output_);
    FAIL();
  } catch (const EArchiver& e) {
    EXPECT_STREQ(e.what(), "BZ2 形式書庫は自己解凍形式にできません。");
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "A.EXE"));
}

TEST_F(Tar32SfxTest, MissingStubMissingArchiveAndAnExeArchive) {
  ScopedCwd cwd(dir_.Path());
  TTar32 tar;
  try {
    tar.MakeSfx(nullptr, dir_.Write("A.TAR", "x"), options_, output_);
    FAIL();
  } catch (const EArchiver& e) {
    EXPECT_STREQ(e.what(), "tar/tgz 書庫からの自己解凍書庫の作成には kmtarsef.exe が必要です。");
  }
  dir_.Write("kmtarsef.exe", "STUB");
  EXPECT_THROW(tar.MakeSfx(nullptr, dir_ / "missing.tar", options_, output_), platform::EFileError);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing.EXE"));
  // An archive named .exe would be its own output: refused, left as it was.
  const std::string exe = dir_.Write("self.exe", "TAR-IN-EXE");
  EXPECT_THROW(tar.MakeSfx(nullptr, exe, options_, output_), EArchiver);
  EXPECT_EQ(ReadFile(exe), "TAR-IN-EXE");
}

TEST_F(Tar32SfxTest, AFailedCopyRaisesAndLeavesNoExe) {
  ScopedCwd cwd(dir_.Path());
  // A stub that is found but cannot be read: /proc/self/mem fails at offset 0.
  std::filesystem::create_symlink("/proc/self/mem", dir_ / "kmtarsef.exe");
  TTar32 tar;
  const std::string archive = dir_.Write("D.TAR", "x");
  EXPECT_THROW(tar.MakeSfx(nullptr, archive, options_, output_), platform::EFileError);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "D.EXE"));
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir_.Path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 2);  // the archive and the stub
}

}  // namespace
