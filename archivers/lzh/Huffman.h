// Canonical Huffman codes as the LZH format uses them: codes are handed out in
// order of length, then of symbol, and no code is longer than 16 bits.
#pragma once

#include "BitReader.h"

#include <cstdint>
#include <vector>

namespace lzh {

inline constexpr int kMaxCodeBits = 16;

// Decoding table for one code. A code with a single symbol and no bits (the
// format's "n = 0" form) decodes that symbol without reading anything.
class HuffmanDecoder {
 public:
  explicit HuffmanDecoder(int tableBits)
      : tableBits_(tableBits), table_(std::size_t{1} << tableBits) {}

  // Builds from code lengths (0 = unused). Throws DataError for an over-full code.
  void build(const std::uint8_t* lengths, int n);
  void buildSingle(int symbol);

  int decode(BitReader& br) {
    std::uint32_t e = table_[br.peek(tableBits_)];
    if (e & kDirect) {
      br.consume(static_cast<int>(e >> 16));
      return static_cast<int>(e & 0x7FFF);
    }
    return decodeSlow(br);
  }
  // The same, when br.ensure() has made the longest code's bits ready.
  int decodeReady(BitReader& br) {
    std::uint32_t e = table_[br.peekReady(tableBits_)];
    if (e & kDirect) {
      br.consume(static_cast<int>(e >> 16));
      return static_cast<int>(e & 0x7FFF);
    }
    return decodeSlow(br);
  }

 private:
  static constexpr std::uint32_t kDirect = 0x8000;
  int decodeSlow(BitReader& br);

  int tableBits_;
  std::vector<std::uint32_t>
      table_;  // (length << 16) | kDirect | symbol, or 0 for longer / unused codes
  std::uint32_t first_[kMaxCodeBits + 2]{};
  std::uint32_t count_[kMaxCodeBits + 2]{};
  std::uint32_t offset_[kMaxCodeBits + 2]{};
  std::vector<std::uint16_t> sorted_;
  bool single_ = false;
  int singleSymbol_ = 0;
};

// Code lengths for the given frequencies, none longer than maxBits. Symbols with
// frequency 0 get length 0. With fewer than two used symbols every length is 0;
// the caller writes such a code in the single-symbol form.
void buildCodeLengths(const std::uint32_t* freq, int n, int maxBits, std::uint8_t* lengths);

// Canonical codes for the given lengths.
void assignCodes(const std::uint8_t* lengths, int n, std::uint16_t* codes);

}  // namespace lzh
