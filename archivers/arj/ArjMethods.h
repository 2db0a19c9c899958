// The ARJ compression methods. 1 to 3 are the LZ77 scheme with static
// Huffman codes per block that LZH's -lh4- to -lh7- use (here with a 26 KiB
// window); 4 is ARJ's own fastest scheme: LZ77 with lengths and distances in
// unary-prefixed fields and no Huffman codes.
#pragma once

#include <cstdint>

#include "lzh/BitReader.h"
#include "lzh/DecodeWindow.h"
#include "lzh/Methods.h"

namespace arj {

inline constexpr int kMaxMethod = 4;
inline constexpr std::size_t kWindowSize = 26624;  // the furthest a match reaches back

// Methods 1-3: the block format with 17 offset codes in 5-bit counts.
inline constexpr lzh::NewMethodParams kHuffmanParams{15, 5, 17, kWindowSize};
inline constexpr int kRingBits = 15;  // a 32 KiB ring holds the whole window

// Method 4: writes originalSize bytes into w; throws lzh::DataError for damaged data.
void DecodeFastest(lzh::BitReader& br, lzh::DecodeWindow& w, std::uint64_t originalSize);

}  // namespace arj
