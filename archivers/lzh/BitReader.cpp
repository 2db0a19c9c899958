#include "BitReader.h"

#include "DataError.h"

#include <algorithm>
#include <cstring>

namespace lzh {

void BitReader::refill() {
  if (len_ - pos_ >= 8 && pad_ == 0) {
    refillWord();
    return;
  }
  while (count_ <= 56) {
    if (pos_ == len_) {
      len_ = pos_ = 0;
      if (remaining_ > 0) {
        len_ = in_.read(buf_,
                        static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, sizeof buf_)));
        remaining_ -= len_;
        if (len_ == 0) remaining_ = 0;  // the stream ended before its packed size
      }
    }
    std::uint64_t byte = 0;
    if (pos_ < len_) {
      byte = buf_[pos_++];
    } else {
      if (pad_ >= 64) return;  // nothing real left and the buffer is already all padding
      pad_ += 8;
    }
    bits_ |= byte << (56 - count_);
    count_ += 8;
  }
}

void BitReader::pastEnd() { throw DataError("圧縮データがファイルの終わりより前で途切れています"); }

}  // namespace lzh
