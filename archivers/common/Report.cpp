#include "Report.h"

#include <cstring>

namespace arc {

void Report::CopyTo(char* buffer, std::uint32_t size) const {
  if (buffer == nullptr || size == 0) return;
  std::size_t n = text_.size() < size - 1 ? text_.size() : size - 1;
  if (n < text_.size())
    while (n > 0 && (static_cast<unsigned char>(text_[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buffer, text_.data(), n);
  buffer[n] = '\0';
}

}  // namespace arc
