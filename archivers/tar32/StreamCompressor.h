// Compresses the tar stream that libarchive writes into xz or zstd with
// liblzma and libzstd themselves, so that the level, the threads and the
// checks are ours: xz in one block with CRC-64, zstd on two threads with its
// frames' content checksum; the reader checks both to the end of the stream.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tararc/TarReader.h"

namespace tar32 {

// The default levels, chosen on months of generated logs (see README.md).
constexpr int kDefaultXzLevel = 6;
constexpr int kDefaultZstdLevel = 17;
// The highest zstd level the -zstd switch takes.
constexpr int kMaxZstdLevel = 19;

class StreamCompressor {
 public:
  // Writes to fd; level 0 takes the default. Throws std::runtime_error when
  // the compressor cannot start.
  StreamCompressor(int fd, tararc::Compression compression, int level);
  ~StreamCompressor();
  StreamCompressor(const StreamCompressor&) = delete;
  StreamCompressor& operator=(const StreamCompressor&) = delete;

  // Compresses data and writes what is ready; false on a write or
  // compression error (why() says which).
  bool Write(const void* data, std::size_t size);
  // Ends the stream and writes the rest; false on error.
  bool Finish();
  const std::string& why() const { return why_; }

 private:
  struct State;
  bool WriteOut(const std::uint8_t* p, std::size_t size);

  int fd_;
  std::unique_ptr<State> state_;
  std::string why_;
};

}  // namespace tar32
