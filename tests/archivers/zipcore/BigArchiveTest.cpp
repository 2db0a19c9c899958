// Archives past the limits of the original ZIP format: ZIP64 is written
// without being asked for, over 65,535 entries and over 4 GiB. Slow: run
// with the "slow" label.
#include <fcntl.h>

#include "ZipHarness.h"

namespace ziptest {
namespace {

TEST_F(ZipTest, SeventyThousandTinyFilesGiveAZip64ArchiveTheToolsAccept) {
  for (const char* tool : {"unzip", "7zz", "python3"}) SKIP_WITHOUT_TOOL(tool);
  for (int i = 0; i < 70000; ++i)
    WriteFile(Path("src/d" + std::to_string(i / 1000) + "/" + std::to_string(i) + ".log"),
              std::to_string(i));
  auto r = Zip("-r -D -q " + Q(P("many.zip")) + " " + Q(P("src") + "/") + " *");
  ASSERT_EQ(r.result, 0) << r.output;
  std::string out;
  EXPECT_EQ(Shell("unzip -tqq many.zip", dir_, &out), 0) << out;
  EXPECT_EQ(Shell("7zz t many.zip > /dev/null", dir_, &out), 0) << out;
  EXPECT_EQ(Shell("python3 -c \"import zipfile; z = zipfile.ZipFile('many.zip'); "
                  "assert len(z.infolist()) == 70000; assert z.read('d69/69999.log') == b'69999'\"",
                  dir_, &out),
            0)
      << out;
  r = UnZip("-t -q " + Q(P("many.zip")));
  ASSERT_EQ(r.result, 0) << r.output;
  fs::remove_all(Path("src"));
  r = UnZip("-x " + Q(P("many.zip")) + " " + Q(P("out") + "/") + " d12/12345.log");
  ASSERT_EQ(r.result, 0) << r.output;
  EXPECT_EQ(ReadFile(Path("out/d12/12345.log")), "12345");
}

TEST_F(ZipTest, ASparseFileOverFourGiBRoundTrips) {
  for (const char* tool : {"unzip", "7zz", "python3"}) SKIP_WITHOUT_TOOL(tool);
  const std::uint64_t size = (4ull << 30) + 12345;
  {
    fs::create_directories(Path("src"));
    const int fd = ::open(P("src/big.bin").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, "head", 4, 0), 4);
    ASSERT_EQ(::pwrite(fd, "tail", 4, static_cast<off_t>(size - 4)), 4);
    ::close(fd);
  }
  auto r = Zip("-1 " + Q(P("big.zip")) + " " + Q(P("src") + "/") + " big.bin");
  ASSERT_EQ(r.result, 0) << r.output;
  std::string out;
  EXPECT_EQ(Shell("unzip -tqq big.zip", dir_, &out), 0) << out;
  EXPECT_EQ(Shell("7zz t big.zip > /dev/null", dir_, &out), 0) << out;
  // Python reads it to the end and checks the CRC on the way.
  EXPECT_EQ(
      Shell("python3 -c \"import zipfile, shutil\nwith zipfile.ZipFile('big.zip').open('big.bin') "
            "as f: n = sum(len(b) for b in iter(lambda: f.read(1 << 24), b''))\nassert n == " +
                std::to_string(size) + "\"",
            dir_, &out),
      0)
      << out;
  fs::remove_all(Path("src"));
  r = UnZip("-t " + Q(P("big.zip")));
  EXPECT_EQ(r.result, 0) << r.output;
}

}  // namespace
}  // namespace ziptest
