// In-memory adapters for lzh::Source and lzh::Sink, for the codec tests and fuzz targets that
// hold whole buffers.
#pragma once

#include "lzh/LzhCodec.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lzh {

// Reads from a caller-owned byte range, which must outlive the source.
class MemorySource : public Source {
 public:
  MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  explicit MemorySource(const std::vector<std::uint8_t>& v) : MemorySource(v.data(), v.size()) {}
  std::size_t read(std::uint8_t* buf, std::size_t n) override {
    std::size_t k = std::min(n, size_ - pos_);
    if (k) std::memcpy(buf, data_ + pos_, k);
    pos_ += k;
    return k;
  }
  std::size_t position() const { return pos_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Appends everything written to a vector.
class VectorSink : public Sink {
 public:
  void write(const std::uint8_t* buf, std::size_t n) override {
    data.insert(data.end(), buf, buf + n);
  }
  std::vector<std::uint8_t> data;
};

}  // namespace lzh
