// The gzip writer of tar32.dll on its own: the bytes must not depend on the
// number of workers, and gzip must read back exactly what went in, across
// block and batch boundaries and for an empty stream.
#include "ParallelGzip.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "tests/support/Command.h"
#include "tests/support/Files.h"
#include "tests/support/GeneratedData.h"
#include "tests/support/TempDirFixture.h"

namespace tartest {
namespace {

using namespace testing_support;

class ParallelGzipTest : public TempDirFixture {
 protected:
  // Compresses data, handed over in pieces of `piece` bytes, into `name`.
  void Pack(const std::string& name, const std::string& data, int threads, std::size_t piece) {
    const int fd = ::open(P(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    tar32::ParallelGzip gz(fd, 6, threads);
    for (std::size_t at = 0; at < data.size(); at += piece)
      ASSERT_TRUE(gz.Write(data.data() + at, std::min(piece, data.size() - at)));
    ASSERT_TRUE(gz.Finish());
    ::close(fd);
  }
};

TEST_F(ParallelGzipTest, SameBytesForAnyWorkerCountAndGzipReadsThemBack) {
  struct Row {
    const char* what;
    std::size_t bytes;
  };
  const Row rows[] = {
      {"empty", 0},
      {"under one block", 1000},
      {"exactly two blocks", 2 * tar32::kGzipBlock},
      {"past several batches", 17 * tar32::kGzipBlock + 12345},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string data = LogText(row.bytes, 7);
    WriteFile(Path("in"), data);
    Pack("1.gz", data, 1, 7168);
    for (int threads : {2, 8}) {
      const std::string name = std::to_string(threads) + ".gz";
      Pack(name, data, threads, 10240);
      EXPECT_EQ(ReadFile(Path(name)), ReadFile(Path("1.gz"))) << threads;
    }
    EXPECT_EQ(Shell("gzip -t 1.gz && gzip -dc 1.gz | cmp - in", P("")), 0);
  }
}

}  // namespace
}  // namespace tartest
