// Constants of the -lh4- to -lh7- block format, shared by its decoder and encoder.
#pragma once

namespace lzh {

inline constexpr int kMinMatch = 3;
inline constexpr int kMaxMatch = 256;
inline constexpr int kNC = 256 + kMaxMatch - kMinMatch + 1;  // 510 literal/length symbols
inline constexpr int kCBit = 9;                              // bits of the literal/length count
inline constexpr int kNT = 19;                               // code-length code symbols
inline constexpr int kTBit = 5;
inline constexpr int kTSpecial = 3;  // after this many lengths a 2-bit zero run follows
inline constexpr int kMaxNP = 17;    // offset codes for a 64 KiB dictionary
inline constexpr int kMaxBlockSymbols = 65535;

}  // namespace lzh
