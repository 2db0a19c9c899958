#include "Crc16Clmul.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace lzh {

#if defined(__x86_64__)
namespace {

// The folding method works on 32-bit reflected CRCs. CRC-16/ARC is one of
// them in disguise: with Q = x^16 * P, where P = x^16 + x^15 + x^2 + 1,
// M * x^32 mod Q = x^16 * (M * x^16 mod P), so the 32-bit CRC over Q holds the
// 16-bit CRC in its low half (reflected order), and starts from it too.
constexpr std::uint32_t kQ = 0x80050000;  // Q without its x^32 term, normal bit order

constexpr std::uint64_t reflect(std::uint64_t v, int bits) {
  std::uint64_t r = 0;
  for (int i = 0; i < bits; ++i)
    if (v >> i & 1) r |= std::uint64_t{1} << (bits - 1 - i);
  return r;
}
// The folding constant for a distance of e bits: (x^e mod Q), reflected, times x.
constexpr std::uint64_t fold(int e) {
  std::uint64_t r = 1;
  for (int i = 0; i < e; ++i) {
    r <<= 1;
    if (r >> 32) r = (r ^ kQ) & 0xFFFFFFFFu;
  }
  return reflect(r, 32) << 1;
}
// Barrett reduction: Q itself and floor(x^64 / Q), both reflected over 33 bits.
constexpr std::uint64_t kQReflected = reflect(kQ, 32) << 1 | 1;
constexpr std::uint64_t mu() {
  unsigned __int128 rest = static_cast<unsigned __int128>(1) << 64;
  const unsigned __int128 q = static_cast<unsigned __int128>(1) << 32 | kQ;
  std::uint64_t quotient = 0;
  for (int i = 64; i >= 32; --i)
    if (rest >> i & 1) {
      rest ^= q << (i - 32);
      quotient |= std::uint64_t{1} << (i - 32);
    }
  return reflect(quotient, 33);
}

alignas(16) constexpr std::uint64_t kFold512[2] = {fold(4 * 128 + 32), fold(4 * 128 - 32)};
alignas(16) constexpr std::uint64_t kFold128[2] = {fold(128 + 32), fold(128 - 32)};
alignas(16) constexpr std::uint64_t kFold64[2] = {fold(64), 0};
alignas(16) constexpr std::uint64_t kBarrett[2] = {kQReflected, mu()};

// lane = lane * x^distance folded onto next: the two 64-bit halves of lane
// are multiplied by the two constants of k.
__attribute__((target("pclmul,sse4.1"))) inline __m128i foldInto(__m128i lane, __m128i k,
                                                                 __m128i next) {
  const __m128i low = _mm_clmulepi64_si128(lane, k, 0x00);
  const __m128i high = _mm_clmulepi64_si128(lane, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

__attribute__((target("pclmul,sse4.1"))) inline __m128i load(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

}  // namespace

bool clmulAvailable() {
  static const bool available =
      __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
  return available;
}

__attribute__((target("pclmul,sse4.1"))) std::uint16_t crc16Clmul(std::uint16_t crc,
                                                                  const std::uint8_t* p,
                                                                  std::size_t n) {
  __m128i a = _mm_xor_si128(load(p), _mm_cvtsi32_si128(crc));
  __m128i b = load(p + 16), c = load(p + 32), d = load(p + 48);
  p += 64;
  n -= 64;
  __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold512));
  for (; n >= 64; p += 64, n -= 64) {
    a = foldInto(a, k, load(p));
    b = foldInto(b, k, load(p + 16));
    c = foldInto(c, k, load(p + 32));
    d = foldInto(d, k, load(p + 48));
  }
  // Four lanes into one, then the 16-byte blocks left.
  k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold128));
  a = foldInto(a, k, b);
  a = foldInto(a, k, c);
  a = foldInto(a, k, d);
  for (; n >= 16; p += 16, n -= 16) a = foldInto(a, k, load(p));
  // 128 bits to 64, then to 32.
  const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
  a = _mm_xor_si128(_mm_srli_si128(a, 8), _mm_clmulepi64_si128(a, k, 0x10));
  const __m128i k64 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kFold64));
  a = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(a, low32), k64, 0x00), _mm_srli_si128(a, 4));
  // Barrett reduction to the remainder.
  const __m128i barrett = _mm_load_si128(reinterpret_cast<const __m128i*>(kBarrett));
  __m128i t = _mm_clmulepi64_si128(_mm_and_si128(a, low32), barrett, 0x10);
  t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), barrett, 0x00);
  a = _mm_xor_si128(a, t);
  return static_cast<std::uint16_t>(_mm_extract_epi32(a, 1));
}

#else

bool clmulAvailable() { return false; }
std::uint16_t crc16Clmul(std::uint16_t crc, const std::uint8_t*, std::size_t) { return crc; }

#endif

}  // namespace lzh
