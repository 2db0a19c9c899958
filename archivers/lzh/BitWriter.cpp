#include "BitWriter.h"

namespace lzh {

void BitWriter::drain() {
  if (limit_ > 0 && written_ + buf_.size() >= limit_) throw LimitReached{};
  if (!buf_.empty()) out_.write(buf_.data(), buf_.size());
  written_ += buf_.size();
  buf_.clear();
}

void BitWriter::finish() {
  while (count_ > 0) {
    int take = count_ >= 8 ? 8 : count_;
    std::uint32_t byte = static_cast<std::uint32_t>(acc_ >> (count_ - take)) << (8 - take);
    buf_.push_back(static_cast<std::uint8_t>(byte));
    count_ -= take;
  }
  acc_ = 0;
  drain();
}

}  // namespace lzh
