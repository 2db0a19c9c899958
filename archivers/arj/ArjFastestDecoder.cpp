// Method 4. Each item starts with a length field: up to 7 one-bits, ended by
// a zero-bit unless all 7 are there; k one-bits are followed by k bits of
// value, and the field is (2^k - 1) + value. 0 is a literal (8 bits follow);
// n > 0 is a match of n + 2 bytes whose distance field has the same shape
// with 4 prefix bits and 9 + k bits of value, adding 2^(9+k) - 2^9.
#include "ArjMethods.h"
#include "lzh/DataError.h"

#include <algorithm>

namespace arj {
namespace {

// Reads a field of the shape above: up to `maxOnes` one-bits, then
// `firstWidth` + ones bits of value.
std::uint32_t Field(lzh::BitReader& br, int firstWidth, int maxOnes) {
  int ones = 0;
  while (ones < maxOnes && br.get(1)) ++ones;
  const int width = firstWidth + ones;
  const std::uint32_t base = (std::uint32_t{1} << width) - (std::uint32_t{1} << firstWidth);
  return base + (width ? br.get(width) : 0);
}

}  // namespace

void DecodeFastest(lzh::BitReader& br, lzh::DecodeWindow& w, std::uint64_t originalSize) {
  while (w.written() < originalSize) {
    const std::uint32_t len = Field(br, 0, 7);
    if (len == 0) {
      w.put(static_cast<std::uint8_t>(br.get(8)));
      continue;
    }
    const std::uint32_t dist = Field(br, 9, 4);
    if (dist >= kWindowSize) throw lzh::DataError("一致の距離が窓の大きさを超えています");
    if (dist >= w.written()) throw lzh::DataError("一致の距離がデータの先頭より前を指しています");
    const std::uint64_t n = std::min<std::uint64_t>(len + 2, originalSize - w.written());
    w.copyBack(dist, static_cast<std::size_t>(n));
  }
}

}  // namespace arj
