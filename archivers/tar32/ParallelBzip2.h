// Compresses a tar stream as bzip2 on every core. bzip2 compresses blocks
// that know nothing of each other, so the stream is cut where the bzip2
// block at the level would end, each piece is compressed by libbz2 on the
// worker pool into a complete bzip2 stream of one block, and the streams are
// written in order. A file of several streams is one bzip2 file to bzip2,
// GNU tar, libarchive, 7-Zip and Python; each stream carries its block's and
// its own CRC. The size stays that of one stream: only a stream header and
// trailer (14 bytes) per block are added. The bytes written depend on the
// data and the level alone, never on the number of workers.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "BlockBatch.h"

namespace tar32 {

class Bzip2Tables;

class ParallelBzip2 {
 public:
  // Writes to fd; level 1-9 (blocks of 100 kB to 900 kB), threads 0: one
  // per core.
  ParallelBzip2(int fd, int level, int threads);
  ~ParallelBzip2();
  ParallelBzip2(const ParallelBzip2&) = delete;
  ParallelBzip2& operator=(const ParallelBzip2&) = delete;

  // Takes n more bytes of the stream. False when writing to fd failed;
  // throws std::runtime_error when libbz2 fails.
  bool Write(const void* data, std::size_t n);
  // Compresses and writes what is left. False when writing failed.
  bool Finish();
  // The system's reason for the failed write (errno), 0 when none failed.
  int Error() const { return error_; }

 private:
  bool Flush();
  // Adds to the block being filled as much of p[0 .. n) as its bzip2 block
  // takes; gives the count taken and whether the block is full.
  std::size_t Fill(const char* p, std::size_t n, bool& full);

  int fd_;
  int level_;
  int threads_;
  std::size_t limit_;                // bytes of the first stage (run-length) one block holds
  std::size_t maxInput_;             // input bytes a block takes at most, runs or not
  std::vector<std::string> blocks_;  // filled in turn; a batch is compressed together
  std::size_t filled_ = 0;           // blocks in blocks_ that are full
  // libbz2's count of the block being filled: bytes committed, and the run
  // of one byte value not yet committed.
  std::size_t committed_ = 0;
  unsigned runByte_ = 256;
  std::size_t runLength_ = 0;
  bool wroteAny_ = false;
  int error_ = 0;
  std::unique_ptr<Bzip2Tables> tables_;  // libbz2's tables, kept from block to block
  BatchPipeline pipeline_;               // last: it waits for its batch before the rest goes
};

}  // namespace tar32
