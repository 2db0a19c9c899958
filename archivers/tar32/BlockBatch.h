// What the parallel gzip and bzip2 writers share: a batch of blocks cut from
// the tar stream is compressed on the worker pool, each block on its own, and
// the results are written in the blocks' order, so the bytes written never
// depend on the number of workers.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tar32 {

// Compresses one block into packed (which it may resize); throws on failure.
using BlockCodec = std::function<void(const std::string& block, std::string& packed)>;

// Compresses blocks[0 .. count) with codec on up to `threads` workers and
// writes the results to fd in order. False when writing failed, with the
// system's reason (errno) in error; what a codec throws is rethrown.
bool CompressInOrder(int fd, const std::vector<std::string>& blocks, std::size_t count, int threads,
                     const BlockCodec& codec, int& error);

// Writes all of s to fd; false with the system's reason in error.
bool WriteAll(int fd, const std::string& s, int& error);

}  // namespace tar32
