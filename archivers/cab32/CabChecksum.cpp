#include "CabChecksum.h"

namespace cab {

std::uint32_t CabChecksum(const void* data, std::size_t n, std::uint32_t seed) {
  const auto* p = static_cast<const unsigned char*>(data);
  std::uint32_t sum = seed;
  for (; n >= 4; n -= 4, p += 4)
    sum ^= std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
  std::uint32_t tail = 0;
  for (std::size_t i = 0; i < n; ++i) tail |= std::uint32_t{p[i]} << (8 * (n - 1 - i));
  return sum ^ tail;
}

std::uint32_t DataBlockChecksum(const void* data, std::uint16_t storedBytes,
                                std::uint16_t uncompressedBytes) {
  const unsigned char sizes[4] = {static_cast<unsigned char>(storedBytes & 0xFF),
                                  static_cast<unsigned char>(storedBytes >> 8),
                                  static_cast<unsigned char>(uncompressedBytes & 0xFF),
                                  static_cast<unsigned char>(uncompressedBytes >> 8)};
  return CabChecksum(sizes, sizeof sizes, CabChecksum(data, storedBytes));
}

}  // namespace cab
