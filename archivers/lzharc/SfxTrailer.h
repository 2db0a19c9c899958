// A self-extracting archive is the stub program's bytes, the archive's
// bytes, then this 16-byte trailer: the magic "LZHSFX", two zero bytes, and
// the archive's offset in the file (64-bit little-endian). Readers of the
// archive stop at its end mark and never see the trailer.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>

namespace lzh {

inline constexpr std::size_t kSfxTrailerSize = 16;
inline constexpr char kSfxMagic[8] = {'L', 'Z', 'H', 'S', 'F', 'X', 0, 0};

inline void MakeSfxTrailer(std::uint64_t archiveOffset, std::uint8_t out[kSfxTrailerSize]) {
  std::memcpy(out, kSfxMagic, 8);
  for (int i = 0; i < 8; ++i) out[8 + i] = static_cast<std::uint8_t>(archiveOffset >> (8 * i));
}

// The archive offset, or nullopt when the bytes are not a trailer.
inline std::optional<std::uint64_t> ReadSfxTrailer(const std::uint8_t in[kSfxTrailerSize]) {
  if (std::memcmp(in, kSfxMagic, 8) != 0) return std::nullopt;
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | in[8 + i];
  return v;
}

}  // namespace lzh
