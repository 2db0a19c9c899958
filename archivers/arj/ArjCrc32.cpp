#include "ArjCrc32.h"

#include <zlib.h>

#include <algorithm>

namespace arj {

std::uint32_t Crc32(std::uint32_t crc, const std::uint8_t* p, std::size_t n) {
  while (n > 0) {
    const auto chunk = static_cast<uInt>(std::min<std::size_t>(n, 1u << 30));
    crc = static_cast<std::uint32_t>(::crc32(crc, p, chunk));
    p += chunk;
    n -= chunk;
  }
  return crc;
}

}  // namespace arj
