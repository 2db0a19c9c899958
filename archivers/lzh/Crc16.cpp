#include "Crc16.h"

#include <array>

namespace lzh {
namespace {

// Eight tables so the loop can take eight bytes per step ("slicing by eight").
constexpr std::array<std::array<std::uint16_t, 256>, 8> makeTables() {
  std::array<std::array<std::uint16_t, 256>, 8> t{};
  for (unsigned i = 0; i < 256; ++i) {
    std::uint16_t c = static_cast<std::uint16_t>(i);
    for (int k = 0; k < 8; ++k)
      c = (c & 1) ? static_cast<std::uint16_t>((c >> 1) ^ 0xA001)
                  : static_cast<std::uint16_t>(c >> 1);
    t[0][i] = c;
  }
  for (unsigned i = 0; i < 256; ++i)
    for (int s = 1; s < 8; ++s)
      t[s][i] = static_cast<std::uint16_t>((t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF]);
  return t;
}

constexpr auto kTables = makeTables();

}  // namespace

std::uint16_t crc16(std::uint16_t crc, const std::uint8_t* p, std::size_t n) {
  while (n >= 8) {
    std::uint16_t lo = static_cast<std::uint16_t>(crc ^ (p[0] | (p[1] << 8)));
    crc = static_cast<std::uint16_t>(kTables[7][lo & 0xFF] ^ kTables[6][lo >> 8] ^
                                     kTables[5][p[2]] ^ kTables[4][p[3]] ^ kTables[3][p[4]] ^
                                     kTables[2][p[5]] ^ kTables[1][p[6]] ^ kTables[0][p[7]]);
    p += 8;
    n -= 8;
  }
  while (n--) crc = static_cast<std::uint16_t>((crc >> 8) ^ kTables[0][(crc ^ *p++) & 0xFF]);
  return crc;
}

}  // namespace lzh
