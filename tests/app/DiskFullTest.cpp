// A disk that fills while the archive is written: the run says the disk is
// full and where, keeps the library's reason, and loses no log. Each row
// mounts a small file system of its own (a private mount namespace).
#include <filesystem>

#include "tests/app/AppTestSupport.h"

namespace {

using testing_support::RunCommand;
using testing_support::ShellQuote;

class DiskFullTest : public apptest::AppTest {};

TEST_F(DiskFullTest, AFullDiskIsNamedWithTheLibrarysReason) {
  if (RunCommand("unshare -m true").status != 0) GTEST_SKIP() << "no mount namespace here";
  // Logs that do not compress: 400 KB on a 600 KB disk.
  std::uint32_t x = 11;
  const std::string logs = dir / "logs";
  for (int d = 1; d <= 20; ++d) {
    std::string noise(20000, '\0');
    for (char& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
    testing_support::WriteFile(logs + "/DR11" + (d < 10 ? "0" : "") + std::to_string(d) + ".log",
                               noise);
  }
  const std::string disk = dir / "disk";
  std::filesystem::create_directory(disk);
  for (const char* format : {"lzh", "zip", "tgz", "tbz", "tar", "cab"}) {
    SCOPED_TRACE(format);
    const std::string script = "mount -t tmpfs -o size=600k tmpfs " + ShellQuote(disk) + " && cp " +
                               ShellQuote(logs) + "/*.log " + ShellQuote(disk) + " && " +
                               ShellQuote(PELSOK_CLI) + " --folder " + ShellQuote(disk + "/") +
                               " --year 26 --month 11 --format " + format +
                               " --delete; echo status=$?; ls " + ShellQuote(disk);
    const auto r = RunCommand("unshare -m sh -c " + ShellQuote(script));
    EXPECT_NE(r.output.find("status=2"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("ディスクがいっぱい"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("フォルダ '" + disk + "/'"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("No space left on device"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("DR1120.log"), std::string::npos) << r.output;  // still there
  }
}

}  // namespace
