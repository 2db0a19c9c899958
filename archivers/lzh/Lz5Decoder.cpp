// -lz5-: a flag byte governs eight items, least significant bit first: 1 is a literal
// byte, 0 a match of two bytes holding a 12-bit ring position and a 4-bit length.
#include "Methods.h"

#include <algorithm>

namespace lzh {

void seedLz5Ring(std::uint8_t* ring) {
  std::uint8_t* p = ring;
  for (int i = 0; i < 256; ++i)
    for (int j = 0; j < 13; ++j) *p++ = static_cast<std::uint8_t>(i);
  for (int i = 0; i < 256; ++i) *p++ = static_cast<std::uint8_t>(i);
  for (int i = 0; i < 256; ++i) *p++ = static_cast<std::uint8_t>(255 - i);
  for (int i = 0; i < 128; ++i) *p++ = 0;
  for (int i = 0; i < 128 - 18; ++i) *p++ = ' ';
  for (int i = 0; i < 18; ++i) *p++ = 0;
}

void decodeLz5(BitReader& br, DecodeWindow& w, std::uint64_t originalSize) {
  while (w.written() < originalSize) {
    std::uint32_t flags = br.get(8);
    for (int k = 0; k < 8 && w.written() < originalSize; ++k, flags >>= 1) {
      if (flags & 1) {
        w.put(static_cast<std::uint8_t>(br.get(8)));
      } else {
        std::uint32_t b1 = br.get(8);
        std::uint32_t b2 = br.get(8);
        std::uint32_t pos = b1 | ((b2 & 0xF0) << 4);
        std::uint64_t len = (b2 & 0x0F) + 3;
        w.copyFrom(pos, static_cast<std::size_t>(std::min(len, originalSize - w.written())));
      }
    }
  }
}

}  // namespace lzh
