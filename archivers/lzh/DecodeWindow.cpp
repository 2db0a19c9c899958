#include "DecodeWindow.h"

namespace lzh {

void DecodeWindow::flush() {
  if (pos_ > flushFrom_) {
    std::size_t n = pos_ - flushFrom_;
    if (crcOn_) crc_ = crc16(crc_, ring_.data() + flushFrom_, n);
    out_.write(ring_.data() + flushFrom_, n);
    written_ += n;
    flushFrom_ = pos_;
  }
}

}  // namespace lzh
