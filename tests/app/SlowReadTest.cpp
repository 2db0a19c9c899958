// Reading members where extracting them could not work: the check before
// deletion on a file system with less room than the logs (a small tmpfs,
// skipped where none can be mounted), and grep through a member over
// 4 GiB (a sparse tar member), whose offsets need the 64-bit path.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <filesystem>

#include "platform/FileSystem.h"
#include "tests/app/AppTestSupport.h"

namespace {

using testing_support::RunCommand;
using testing_support::ShellQuote;

class SlowReadTest : public apptest::AppTest {
 protected:
  testing_support::CommandResult Cli(const std::string& args) {
    return RunCommand(std::string("'") + PELSOK_CLI + "' " + args, dir.Path());
  }
};

// A tmpfs of 4 MiB, unmounted when the test ends.
class SmallFileSystem {
 public:
  explicit SmallFileSystem(const std::string& at) : at_(at) {
    std::filesystem::create_directory(at);
    mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, "size=4m") == 0;
  }
  ~SmallFileSystem() {
    if (mounted_) ::umount(at_.c_str());
  }
  bool Mounted() const { return mounted_; }

 private:
  std::string at_;
  bool mounted_ = false;
};

TEST_F(SlowReadTest, TheCheckBeforeDeletionNeedsNoRoomForASecondCopy) {
  for (const std::string format : {"zip", "tgz"}) {
    SCOPED_TRACE(format);
    const std::string mnt = dir / ("small-" + format);
    const SmallFileSystem fs(mnt);
    if (!fs.Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
    // 3 MiB of logs on 4 MiB: far less room left than the logs take.
    for (int d = 1; d <= 3; ++d) {
      std::string text;
      for (int n = 0; text.size() < (1u << 20); ++n)
        text += "2026-11-0" + std::to_string(d) + " 要求 " + std::to_string(n) + "\n";
      testing_support::WriteFile(mnt + "/DR110" + std::to_string(d) + ".log", text);
    }
    ASSERT_LT(std::filesystem::space(mnt).available, 3u << 20);
    const auto r = Cli("--folder " + ShellQuote(mnt) +
                       " --kind DR --year 26 --month 11 --delete --format " + format);
    EXPECT_EQ(r.status, 0) << r.output;
    for (int d = 1; d <= 3; ++d) {
      const std::string log = mnt + "/DR110" + std::to_string(d) + ".log";
      EXPECT_NE(r.output.find("deleted " + log), std::string::npos) << r.output;
      EXPECT_FALSE(platform::FileExists(log));
    }
    EXPECT_EQ(r.output.find("書庫の検査で誤り"), std::string::npos) << r.output;
  }
}

TEST_F(SlowReadTest, GrepReadsAMemberOverFourGibibytes) {
  // A sparse member: a line, a hole past 4 GiB, a line at its end.
  const std::string big = dir / "DR1101.log";
  testing_support::WriteFile(big, "first needle\n");
  std::filesystem::resize_file(big, (4ull << 30) + 4096);
  ASSERT_EQ(RunCommand("printf 'last needle\\n' >> DR1101.log && tar -cSf DR2611.TAR DR1101.log",
                       dir.Path())
                .status,
            0);
  std::filesystem::remove(big);
  auto r = Cli("grep -c needle DR2611.TAR");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output, "DR2611.TAR:DR1101.log:2\n");
  r = Cli("grep -F 'first needle' DR2611.TAR");
  EXPECT_EQ(r.output, "DR2611.TAR:DR1101.log:1:first needle\n");
}

}  // namespace
