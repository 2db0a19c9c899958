// Most-significant-bit-first reader over a Source that never pulls more than the
// packed size from it. Bits beyond the real data read as zero for peeking, but
// consuming them raises DataError, so a truncated stream cannot run on.
#pragma once

#include "LzhCodec.h"

#include <cstdint>
#include <cstring>

namespace lzh {

class BitReader {
 public:
  BitReader(Source& in, std::uint64_t packedSize) : in_(in), remaining_(packedSize) {}

  // The next n (1..24) bits, without consuming them.
  std::uint32_t peek(int n) {
    if (count_ < n) refill();
    return static_cast<std::uint32_t>(bits_ >> (64 - n));
  }
  // Makes at least n (up to 56) bits ready, so that peekReady and getReady may take them
  // without a check each; a decoder calls it once per symbol with the symbol's most bits.
  void ensure(int n) {
    if (count_ >= n) return;
    if (len_ - pos_ >= 8 && pad_ == 0) {
      refillWord();
    } else {
      refill();
    }
  }
  // The next n (1..24) bits, which ensure() made ready.
  std::uint32_t peekReady(int n) const { return static_cast<std::uint32_t>(bits_ >> (64 - n)); }
  std::uint32_t getReady(int n) {
    std::uint32_t v = peekReady(n);
    consume(n);
    return v;
  }
  // Drops n bits that were peeked.
  void consume(int n) {
    bits_ <<= n;
    count_ -= n;
    if (count_ < pad_) pastEnd();
  }
  std::uint32_t get(int n) {
    std::uint32_t v = peek(n);
    consume(n);
    return v;
  }
  // Bits of real data not yet consumed (at most the packed size allows).
  std::uint64_t bitsLeft() const {
    const std::uint64_t buffered = 8 * static_cast<std::uint64_t>(len_ - pos_) + (count_ - pad_);
    if (remaining_ > (UINT64_MAX - buffered) / 8) return UINT64_MAX;
    return 8 * remaining_ + buffered;
  }

 private:
  // Eight bytes at once, most significant first. Bits of a byte that does not fit whole are
  // ORed in too; the next refill ORs the same bits again.
  void refillWord() {
    std::uint64_t v;
    std::memcpy(&v, buf_ + pos_, 8);
    v = __builtin_bswap64(v);
    bits_ |= v >> count_;
    const int bytes = (64 - count_) >> 3;
    pos_ += static_cast<std::size_t>(bytes);
    count_ += bytes * 8;
  }
  void refill();
  [[noreturn]] void pastEnd();

  Source& in_;
  std::uint64_t remaining_;  // bytes the Source may still give us
  std::uint64_t bits_ = 0;   // left-aligned bit buffer
  int count_ = 0;            // bits in bits_
  int pad_ = 0;              // how many of those bits (at the tail) are zero padding
  std::uint8_t buf_[4096];
  std::size_t pos_ = 0, len_ = 0;
};

}  // namespace lzh
