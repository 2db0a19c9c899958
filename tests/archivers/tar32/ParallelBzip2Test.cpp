// The bzip2 writer of tar32.dll on its own: the bytes must not depend on the
// number of workers, bzip2 must read back exactly what went in, and every
// stream must hold exactly one block, so the pieces are cut where libbz2 would
// end its block (runs of four bytes grow in its first stage, longer ones
// shrink) and the file is no larger than needed.
#include "ParallelBzip2.h"

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

// Runs of one byte of every length from 1 to 299, the fours among them
// growing and the long ones shrinking in libbz2's first stage.
std::string Runs(std::size_t bytes) {
  std::string s;
  for (std::size_t length = 1; s.size() < bytes; length = length % 299 + 1)
    s.append(length, static_cast<char>('a' + length % 26));
  s.resize(bytes);
  return s;
}

class ParallelBzip2Test : public TempDirFixture {
 protected:
  void Pack(const std::string& name, const std::string& data, int level, int threads,
            std::size_t piece) {
    const int fd = ::open(P(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    tar32::ParallelBzip2 bz(fd, level, threads);
    for (std::size_t at = 0; at < data.size(); at += piece)
      ASSERT_TRUE(bz.Write(data.data() + at, std::min(piece, data.size() - at)));
    ASSERT_TRUE(bz.Finish());
    ::close(fd);
  }
};

TEST_F(ParallelBzip2Test, SameBytesForAnyWorkerCountOneBlockPerStreamAndBzip2ReadsThemBack) {
  struct Row {
    const char* what;
    std::string data;
    int level;
  };
  const Row rows[] = {
      {"empty", "", 9},
      {"under one block", LogText(1000, 7), 9},
      {"logs over three blocks", LogText(2'500'000, 7), 9},
      {"logs past several batches", LogText(3'000'000, 3), 1},
      {"runs of every length", Runs(1'500'000), 1},
      {"one long run, cut short", std::string(6'000'000, '\0'), 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    WriteFile(Path("in"), row.data);
    Pack("1.bz2", row.data, row.level, 1, 7168);
    for (int threads : {2, 8}) {
      const std::string name = std::to_string(threads) + ".bz2";
      Pack(name, row.data, row.level, threads, 10240);
      EXPECT_EQ(ReadFile(Path(name)), ReadFile(Path("1.bz2"))) << threads;
    }
    EXPECT_EQ(Shell("bzip2 -t 1.bz2 && bzip2 -dc 1.bz2 | cmp - in", P("")), 0);
    // bzip2recover writes one file per block it finds.
    const std::string packed = ReadFile(Path("1.bz2"));
    std::size_t streams = 0;
    const std::string blockStart = "BZh" + std::to_string(row.level) + "1AY&SY";
    for (auto at = packed.find(blockStart); at != std::string::npos;
         at = packed.find(blockStart, at + 1))
      ++streams;
    std::string log;
    ASSERT_EQ(Shell("bzip2recover 1.bz2 >/dev/null 2>&1; ls | grep -c '^rec.*1\\.bz2$'; rm -f rec*",
                    P(""), &log),
              0);
    EXPECT_EQ(std::stoul(log), streams) << log;
  }
}

}  // namespace
}  // namespace tartest
