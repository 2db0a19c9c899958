// The pieces of a Compress run that need no archiver: the deletion pass, the
// old archive moved aside and put back, and the continuous loop.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "app/run/ArchiveBackup.h"
#include "app/run/ContinuousRun.h"
#include "app/run/DeletionPass.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"
#include "tests/app/AppTestSupport.h"

namespace {

using pelsok::app::DeletePackedFiles;
using pelsok::app::TArchiveBackup;
using pelsok::app::TListedEntry;

class RunPiecesTest : public apptest::AppTest {};

std::uint64_t SizeOf(const std::string& p) { return std::filesystem::file_size(p); }

TEST_F(RunPiecesTest, DeletesEntriesByTheirOwnNameInTheMaskFolder) {
  const auto names = MakeLogs(Folder(), "ABC11", 2);
  const std::string other = dir.Write("BC1101.log", "not packed");
  // Entries carry folder parts, as an archive packed with paths lists them.
  std::vector<TListedEntry> entries;
  for (const auto& n : names) entries.push_back({"tmp/x/" + n, SizeOf(dir / n)});
  const auto r = DeletePackedFiles(Folder() + "ABC11*.log", entries);
  EXPECT_EQ(r.Deleted, (std::vector<std::string>{dir / names[0], dir / names[1]}));
  EXPECT_TRUE(r.Kept.empty());
  EXPECT_FALSE(platform::FileExists(dir / names[0]));
  EXPECT_TRUE(platform::FileExists(other));  // the last ten characters of ABC1101.log
}

TEST_F(RunPiecesTest, SixDigitModeDeletesInTheCurrentFolder) {
  const auto names = MakeLogs(Folder(), "DR2611", 1);
  std::filesystem::create_directory(dir / "elsewhere");
  const std::string decoy = dir.Write("elsewhere/DR261101.log", "x");
  const auto r = DeletePackedFiles("DR2611*.log", {{names[0], SizeOf(dir / names[0])}});
  ASSERT_EQ(r.Deleted.size(), 1u);
  EXPECT_EQ(r.Deleted[0], dir / names[0]);
  EXPECT_FALSE(platform::FileExists(dir / names[0]));
  EXPECT_TRUE(platform::FileExists(decoy));
}

TEST_F(RunPiecesTest, KeepsGrownFilesNamesOutsideTheMaskAndMissingFilesInOneMessage) {
  const std::string grown = dir.Write("DR1101.log", "grown after packing");
  const std::string foreign = dir.Write("DD1101.log", "12345");
  const auto r = DeletePackedFiles(Folder() + "DR11*.log",
                                   {{"DR1101.log", 4}, {"DD1101.log", 5}, {"DR1102.log", 1}});
  EXPECT_TRUE(r.Deleted.empty());
  ASSERT_EQ(r.Kept.size(), 3u);
  EXPECT_TRUE(platform::FileExists(grown));
  EXPECT_TRUE(platform::FileExists(foreign));
  const std::string msg = r.KeptMessage();
  EXPECT_NE(msg.find("DR1101.log"), std::string::npos);
  EXPECT_NE(msg.find("DD1101.log"), std::string::npos);
  EXPECT_NE(msg.find("DR1102.log"), std::string::npos);
}

// Sets the immutable flag on a file (even root cannot delete it then) and
// clears it again at the end of the test.
class ImmutableFile {
 public:
  explicit ImmutableFile(const std::string& path) : path_(path) { set_ = Flag(true); }
  ~ImmutableFile() {
    if (set_) Flag(false);
  }
  ImmutableFile(const ImmutableFile&) = delete;
  ImmutableFile& operator=(const ImmutableFile&) = delete;
  bool IsSet() const { return set_; }

 private:
  bool Flag(bool on) {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
  }
  std::string path_;
  bool set_ = false;
};

TEST_F(RunPiecesTest, AFileThatCannotBeDeletedIsKeptAndNamed) {
  const auto names = MakeLogs(Folder(), "DR11", 2);
  const std::string stuck = dir / names[0];
  ImmutableFile immutable(stuck);
  if (!immutable.IsSet()) GTEST_SKIP() << "this file system cannot make a file immutable";
  const auto r = DeletePackedFiles(Folder() + "DR11*.log",
                                   {{names[0], SizeOf(stuck)}, {names[1], SizeOf(dir / names[1])}});
  EXPECT_EQ(r.Deleted, std::vector<std::string>{dir / names[1]});
  EXPECT_EQ(r.Kept, std::vector<std::string>{stuck + " (削除できません)"});
  EXPECT_TRUE(platform::FileExists(stuck));
}

TEST_F(RunPiecesTest, OldArchiveGoesBackUnlessCommitted) {
  const std::string archive = dir.Write("DR2611.LZH", "old archive");
  {
    TArchiveBackup backup(archive);
    EXPECT_TRUE(backup.HasOldArchive());
    EXPECT_FALSE(platform::FileExists(archive));
    dir.Write("DR2611.LZH", "half-written");
    backup.MarkWritten();
  }  // neither committed nor restored: goes back
  EXPECT_EQ(testing_support::ReadFile(archive), "old archive");
  {
    // An archive this run did not write (another run's) is never removed:
    // the old one stays aside instead.
    TArchiveBackup backup(archive);
    backup.MarkWritten();
    dir.Write("DR2611.LZH", "another run's archive");
    EXPECT_THROW(backup.Restore(), platform::EFileError);
    EXPECT_EQ(testing_support::ReadFile(archive), "another run's archive");
    EXPECT_EQ(testing_support::ReadFile(backup.AsideName()), "old archive");
    std::filesystem::remove(archive);
    std::filesystem::rename(backup.AsideName(), archive);
  }
  {
    TArchiveBackup backup(archive);
    dir.Write("DR2611.LZH", "new archive");
    backup.Commit();
  }
  EXPECT_EQ(testing_support::ReadFile(archive), "new archive");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1);  // the archive alone, no aside copy left
}

TEST_F(RunPiecesTest, AsideNameNeverOverwritesAnEarlierAsideCopy) {
  const std::string archive = dir.Write("DR2611.LZH", "old");
  dir.Write("DR2611.LZH.old", "left from a crash");
  TArchiveBackup backup(archive);
  EXPECT_EQ(backup.AsideName(), archive + ".old1");
  EXPECT_EQ(testing_support::ReadFile(archive + ".old"), "left from a crash");
  backup.Restore();
  EXPECT_EQ(testing_support::ReadFile(archive), "old");
}

TEST(ContinuousRun, RunsEveryKindInOrderAndEndsOnTheFirst) {
  std::vector<std::string> log;
  std::string kind = "typed";
  pelsok::app::RunContinuous(
      {"DR", "DD", "NA", "DR"}, [&](const std::string& k) { kind = k; },
      [&] { log.push_back(kind); });
  EXPECT_EQ(log, (std::vector<std::string>{"DR", "DD", "NA", "DR"}));
  EXPECT_EQ(kind, "DR");
}

TEST(ContinuousRun, EmptyListRunsNothingAndEmptiesTheKind) {
  std::string kind = "typed";
  int runs = 0;
  pelsok::app::RunContinuous(
      {}, [&](const std::string& k) { kind = k; }, [&] { ++runs; });
  EXPECT_EQ(runs, 0);
  EXPECT_EQ(kind, "");
}

TEST(ContinuousRun, AnErrorStopsTheLoopAndLeavesTheFailedKind) {
  std::string kind;
  std::vector<std::string> log;
  EXPECT_THROW(pelsok::app::RunContinuous(
                   {"DR", "DD", "NA"}, [&](const std::string& k) { kind = k; },
                   [&] {
                     log.push_back(kind);
                     if (kind == "DD") throw std::runtime_error("boom");
                   }),
               std::runtime_error);
  EXPECT_EQ(log, (std::vector<std::string>{"DR", "DD"}));
  EXPECT_EQ(kind, "DD");
}

}  // namespace
