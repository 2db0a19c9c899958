// Most-significant-bit-first writer into a Sink, buffered, that counts the bytes it
// has produced and stops with LimitReached once they reach a given limit.
#pragma once

#include "LzhCodec.h"

#include <cstdint>
#include <vector>

namespace lzh {

struct LimitReached {};

class BitWriter {
 public:
  BitWriter(Sink& out, std::uint64_t limit) : out_(out), limit_(limit) {
    buf_.reserve(kBufSize + 8);
  }

  // Appends the low n (0..32) bits of v.
  void put(int n, std::uint32_t v) {
    acc_ = (acc_ << n) | (v & ((std::uint64_t{1} << n) - 1));
    count_ += n;
    if (count_ >= 32) {
      count_ -= 32;
      std::uint32_t w = static_cast<std::uint32_t>(acc_ >> count_);
      buf_.push_back(static_cast<std::uint8_t>(w >> 24));
      buf_.push_back(static_cast<std::uint8_t>(w >> 16));
      buf_.push_back(static_cast<std::uint8_t>(w >> 8));
      buf_.push_back(static_cast<std::uint8_t>(w));
      if (buf_.size() >= kBufSize) drain();
    }
  }
  // Pads the last byte with zero bits and hands everything to the Sink.
  void finish();
  // Stops with LimitReached when the bytes produced so far reach the limit.
  void checkLimit() const {
    if (limit_ > 0 && bytes() >= limit_) throw LimitReached{};
  }
  // Bytes produced so far, including those still buffered.
  std::uint64_t bytes() const {
    return written_ + buf_.size() + static_cast<std::uint64_t>((count_ + 7) / 8);
  }

 private:
  static constexpr std::size_t kBufSize = 1 << 16;
  void drain();

  Sink& out_;
  std::uint64_t limit_;
  std::uint64_t acc_ = 0;
  int count_ = 0;
  std::vector<std::uint8_t> buf_;
  std::uint64_t written_ = 0;
};

}  // namespace lzh
