// The compressed bytes of a stream, read from a descriptor from an offset
// on: a piece at a time, or the whole rest at once for a codec that decodes
// a whole unit of the stream in one call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tararc {

class CompressedInput {
 public:
  CompressedInput(int fd, std::uint64_t offset);

  // The bytes read and not yet consumed.
  const unsigned char* data() const { return buf_.data() + pos_; }
  std::size_t size() const { return end_ - pos_; }
  void Consume(std::size_t n) { pos_ += n; }

  // Reads more when nothing is left; false at the end of the file. Throws
  // StreamError when the file cannot be read.
  bool Refill();
  // Makes at least n bytes available when the file holds them; false when
  // it ends before.
  bool Ensure(std::size_t n);
  // Reads the whole rest of the file into memory when it is at most limit
  // bytes; false (nothing changed) when it is longer or its size unknown.
  bool LoadRest(std::size_t limit);
  // All the rest of the file is in memory.
  bool whole() const { return whole_; }

 private:
  std::size_t ReadAt(unsigned char* to, std::size_t n);

  int fd_;
  std::uint64_t filePos_;  // the file offset after the last byte read
  std::vector<unsigned char> buf_;
  std::size_t pos_ = 0, end_ = 0;
  bool whole_ = false;
};

}  // namespace tararc
