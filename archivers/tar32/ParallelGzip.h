// Compresses a tar stream as gzip on every core: the stream is cut into
// blocks of kGzipBlock bytes, each deflated by libdeflate on the worker pool
// into a gzip member of its own, and the members are written in order. A
// file of several members is one gzip file to gzip, GNU tar, libarchive,
// 7-Zip and Python; each member carries its own CRC-32 and length, so every
// block is checked when read. A block starts without the previous one's
// history (libdeflate takes no preset dictionary), which costs well under a
// percent at this block size. The bytes written depend on the data and the
// level alone, never on the number of workers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "BlockBatch.h"

namespace tar32 {

constexpr std::size_t kGzipBlock = 1 << 20;

class ParallelGzip {
 public:
  // Writes to fd; level 1-12 (libdeflate's), threads 0: one per core.
  ParallelGzip(int fd, int level, int threads);

  // Takes n more bytes of the stream. False when writing to fd failed.
  bool Write(const void* data, std::size_t n);
  // Compresses and writes what is left. False when writing failed.
  bool Finish();
  // The system's reason for the failed write (errno), 0 when none failed.
  int Error() const { return error_; }

 private:
  bool Flush();

  int fd_;
  int level_;
  int threads_;
  std::vector<std::string> blocks_;  // filled in turn; a batch is compressed together
  std::size_t filled_ = 0;           // blocks in blocks_ that hold data
  bool wroteAny_ = false;
  int error_ = 0;
  BatchPipeline pipeline_;  // last: it waits for its batch before the rest goes
};

}  // namespace tar32
