#include "app/text/LineBreaks.h"

#include <cstring>

namespace pelsok::app {

std::uint64_t CountLineBreaks(std::string_view text) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kLow7 = 0x7f7f7f7f7f7f7f7full;
  const char* p = text.data();
  const char* const end = p + text.size();
  std::uint64_t count = 0;
  for (; end - p >= 8; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    const std::uint64_t x = word ^ (kOnes * '\n');  // a zero byte where a line break was
    // The top bit of each byte is set unless the byte was zero; no carry
    // crosses bytes, so no byte is miscounted.
    const std::uint64_t nonZero = ((x & kLow7) + kLow7) | x;
    // One bit a line break, at the bottom of its byte; the product's top
    // byte sums them (at most eight, no overflow).
    count += ((((~nonZero & ~kLow7) >> 7) * kOnes) >> 56);
  }
  for (; p != end; ++p) count += *p == '\n' ? 1 : 0;
  return count;
}

}  // namespace pelsok::app
