// What the parallel gzip and bzip2 writers share: a batch of blocks cut from
// the tar stream is compressed on the worker pool, each block on its own, and
// the results are written in the blocks' order, so the bytes written never
// depend on the number of workers.
#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tar32 {

// Compresses one block into packed (which it may resize); throws on failure.
using BlockCodec = std::function<void(const std::string& block, std::string& packed)>;

// Compresses blocks[0 .. count) with codec on up to `threads` workers and
// writes the results to fd in order. False when writing failed, with the
// system's reason (errno) in error; what a codec throws is rethrown.
bool CompressInOrder(int fd, const std::vector<std::string>& blocks, std::size_t count, int threads,
                     const BlockCodec& codec, int& error);

// Compresses and writes one batch behind the caller's back while the caller
// fills the next, so cutting the stream (and reading the files) overlaps
// the compression instead of leaving the workers idle between batches.
class BatchPipeline {
 public:
  BatchPipeline(int fd, int threads, BlockCodec codec);
  ~BatchPipeline();  // waits for the batch in flight
  BatchPipeline(const BatchPipeline&) = delete;
  BatchPipeline& operator=(const BatchPipeline&) = delete;

  // Waits for the batch in flight, then hands blocks[0 .. count) over;
  // blocks comes back as as many empty buffers. False when the batch before
  // failed to write (with errno in error); rethrows what its codec threw.
  bool Submit(std::vector<std::string>& blocks, std::size_t count, int& error);
  // Waits for the batch in flight; false and rethrows as Submit.
  bool Wait(int& error);

 private:
  int fd_;
  int threads_;
  BlockCodec codec_;
  std::vector<std::string> inFlight_;
  std::thread worker_;
  bool ok_ = true;
  int error_ = 0;
  std::exception_ptr thrown_;
};

// Writes all of s to fd; false with the system's reason in error.
bool WriteAll(int fd, const std::string& s, int& error);

}  // namespace tar32
