#include "Crc16.h"

#include <array>

#include "Crc16Clmul.h"

namespace lzh {
namespace {

// Sixteen tables so the loop can take sixteen bytes per step ("slicing by
// sixteen"): table k gives a byte's share of the CRC k bytes further on.
constexpr std::array<std::array<std::uint16_t, 256>, 16> makeTables() {
  std::array<std::array<std::uint16_t, 256>, 16> t{};
  for (unsigned i = 0; i < 256; ++i) {
    std::uint16_t c = static_cast<std::uint16_t>(i);
    for (int k = 0; k < 8; ++k)
      c = (c & 1) ? static_cast<std::uint16_t>((c >> 1) ^ 0xA001)
                  : static_cast<std::uint16_t>(c >> 1);
    t[0][i] = c;
  }
  for (unsigned i = 0; i < 256; ++i)
    for (int s = 1; s < 16; ++s)
      t[s][i] = static_cast<std::uint16_t>((t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF]);
  return t;
}

constexpr auto kTables = makeTables();

}  // namespace

std::uint16_t crc16(std::uint16_t crc, const std::uint8_t* p, std::size_t n) {
  if (n >= 64 && clmulAvailable()) {
    const std::size_t whole = n & ~std::size_t{15};
    crc = crc16Clmul(crc, p, whole);
    p += whole;
    n -= whole;
  }
  while (n >= 16) {
    const std::uint16_t lo = static_cast<std::uint16_t>(crc ^ (p[0] | (p[1] << 8)));
    crc = static_cast<std::uint16_t>(
        kTables[15][lo & 0xFF] ^ kTables[14][lo >> 8] ^ kTables[13][p[2]] ^ kTables[12][p[3]] ^
        kTables[11][p[4]] ^ kTables[10][p[5]] ^ kTables[9][p[6]] ^ kTables[8][p[7]] ^
        kTables[7][p[8]] ^ kTables[6][p[9]] ^ kTables[5][p[10]] ^ kTables[4][p[11]] ^
        kTables[3][p[12]] ^ kTables[2][p[13]] ^ kTables[1][p[14]] ^ kTables[0][p[15]]);
    p += 16;
    n -= 16;
  }
  while (n--) crc = static_cast<std::uint16_t>((crc >> 8) ^ kTables[0][(crc ^ *p++) & 0xFF]);
  return crc;
}

}  // namespace lzh
