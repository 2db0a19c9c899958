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
  // A ring of 2^bits bytes, filled with `fill`, writing from index `start`.
  DecodeWindow(Sink& out, int bits, std::uint8_t fill = 0x20, std::size_t start = 0)
      : out_(out),
        ring_(std::size_t{1} << bits, fill),
        mask_((std::size_t{1} << bits) - 1),
        pos_(start),
        flushFrom_(start) {}

  std::uint8_t* ring() { return ring_.data(); }
  std::size_t size() const { return ring_.size(); }
  std::size_t position() const { return pos_; }

  void put(std::uint8_t b) {
    ring_[pos_++] = b;
    if (pos_ == ring_.size()) wrap();
  }
  // Copies n bytes starting at ring index `from`; the source may overlap what is being written.
  void copyFrom(std::size_t from, std::size_t n) {
    from &= mask_;
    if (from + n <= ring_.size() && pos_ + n < ring_.size()) {
      // No wrap on either side: a forward byte copy gives the same bytes as one put() at a time;
      // when the source does not run into what is being written, that is a plain move.
      std::uint8_t* d = ring_.data() + pos_;
      const std::uint8_t* s = ring_.data() + from;
      if (from < pos_ && pos_ - from < n) {
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
  void wrap() {
    flush();
    pos_ = flushFrom_ = 0;
  }

  Sink& out_;
  std::vector<std::uint8_t> ring_;
  std::size_t mask_;
  std::size_t pos_;
  std::size_t flushFrom_;
  std::uint64_t written_ = 0;
  std::uint16_t crc_ = 0;
  bool crcOn_ = true;
};

}  // namespace lzh
