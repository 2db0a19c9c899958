// The history ring of a decoder. Bytes go into the ring and on to the Sink in
// large pieces, with the running CRC and count; matches copy from the ring.
#pragma once

#include "Crc16.h"
#include "LzhCodec.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace lzh {

class DecodeWindow {
 public:
  // A ring of 2^bits bytes, filled with `fill`, writing from index `start`. `reach` is the
  // farthest back a copy may start (the whole ring when 0). When the ring holds at least 16
  // bytes more than that, copies move whole words and may scribble just past their end: a few
  // bytes beyond the ring's end (same fill) take what runs over there.
  DecodeWindow(Sink& out, int bits, std::uint8_t fill = 0x20, std::size_t start = 0,
               std::size_t reach = 0)
      : out_(out),
        ring_((std::size_t{1} << bits) + kSlack, fill),
        size_(std::size_t{1} << bits),
        mask_((std::size_t{1} << bits) - 1),
        pos_(start),
        flushFrom_(start),
        wordCopies_(reach != 0 && reach + 16 <= size_) {}

  std::uint8_t* ring() { return ring_.data(); }
  std::size_t size() const { return size_; }
  std::size_t position() const { return pos_; }

  void put(std::uint8_t b) {
    ring_[pos_++] = b;
    if (pos_ == size_) wrap();
  }
  // Copies n bytes starting at ring index `from`; the source may overlap what is being written.
  void copyFrom(std::size_t from, std::size_t n) {
    from &= mask_;
    if (from + n <= size_ && pos_ + n < size_) {
      std::uint8_t* d = ring_.data() + pos_;
      const std::uint8_t* s = ring_.data() + from;
      if (wordCopies_) {
        copyWords(d, s, n);
      } else if (from < pos_ && pos_ - from < n) {
        for (std::size_t i = 0; i < n; ++i) d[i] = s[i];
      } else {
        std::memmove(d, s, n);
      }
      pos_ += n;
      return;
    }
    for (std::size_t i = 0; i < n; ++i) {
      put(ring_[from]);
      from = (from + 1) & mask_;
    }
  }
  // Copies n bytes from `distance` + 1 bytes back.
  void copyBack(std::size_t distance, std::size_t n) { copyFrom(pos_ - distance - 1, n); }

  // Hands all pending bytes to the Sink.
  void flush();
  std::uint64_t written() const { return written_ + (pos_ - flushFrom_); }
  std::uint16_t crc() const { return crc_; }
  // For formats that check another CRC on the Sink side: crc() stays 0.
  void disableCrc16() { crcOn_ = false; }

 private:
  static constexpr std::size_t kSlack = 32;

  // A forward copy that gives the same bytes as one put() at a time, in words where the source
  // is far enough behind. It may write up to 15 bytes past d + n and read as far past s + n:
  // that is history beyond the reach or the slack, never read before it is written again.
  static void copyWords(std::uint8_t* d, const std::uint8_t* s, std::size_t n) {
    std::uint8_t* const end = d + n;
    const std::size_t gap = d > s ? static_cast<std::size_t>(d - s) : SIZE_MAX;
    if (gap >= 16) {
      do {
        std::memcpy(d, s, 16);
        d += 16;
        s += 16;
      } while (d < end);
    } else if (gap >= 8) {
      do {
        std::memcpy(d, s, 8);
        d += 8;
        s += 8;
      } while (d < end);
    } else {
      while (d < end) *d++ = *s++;
    }
  }

  void wrap() {
    flush();
    pos_ = flushFrom_ = 0;
  }

  Sink& out_;
  std::vector<std::uint8_t> ring_;
  std::size_t size_;
  std::size_t mask_;
  std::size_t pos_;
  std::size_t flushFrom_;
  std::uint64_t written_ = 0;
  std::uint16_t crc_ = 0;
  bool crcOn_ = true;
  bool wordCopies_;
};

}  // namespace lzh
