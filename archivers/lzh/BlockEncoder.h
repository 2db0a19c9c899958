// Collects literals and matches and writes them as -lh5-/-lh6-/-lh7- blocks: the
// symbol count, the code-length code, the literal/length code, the offset code,
// then the symbols, with codes built for each block.
#pragma once

#include "BitWriter.h"
#include "NewFormat.h"

#include <cstdint>
#include <vector>

namespace lzh {

// Offset code of a match `distance` bytes back (1 = previous byte) and its extra bits.
inline int offsetCode(std::uint32_t distance) {
  std::uint32_t d = distance - 1;
  return d == 0 ? 0 : 32 - __builtin_clz(d);
}
inline int offsetExtraBits(int code) { return code > 1 ? code - 1 : 0; }

class BlockEncoder {
 public:
  BlockEncoder(BitWriter& bw, int np, int pbit) : bw_(bw), np_(np), pbit_(pbit) {
    sym_.reserve(kMaxBlockSymbols);
    dist_.reserve(kMaxBlockSymbols);
  }

  void literal(std::uint8_t b) {
    sym_.push_back(b);
    dist_.push_back(0);
    if (sym_.size() == kMaxBlockSymbols) writeBlock();
  }
  void match(std::uint32_t length, std::uint32_t distance) {
    sym_.push_back(static_cast<std::uint16_t>(256 + length - kMinMatch));
    dist_.push_back(static_cast<std::uint16_t>(distance - 1));
    if (sym_.size() == kMaxBlockSymbols) writeBlock();
  }
  // Writes what is collected as one block (nothing when empty).
  void writeBlock();
  int np() const { return np_; }

 private:
  void writeLengthTable(const std::uint8_t* len, int n, int nbits, int special);

  BitWriter& bw_;
  int np_, pbit_;
  std::vector<std::uint16_t> sym_;
  std::vector<std::uint16_t> dist_;  // distance - 1 for matches
};

}  // namespace lzh
