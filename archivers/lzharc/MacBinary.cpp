#include "MacBinary.h"

namespace lzh {
namespace {

// Offsets in the MacBinary header (multi-byte fields are big-endian).
constexpr std::size_t kVersion = 0;
constexpr std::size_t kNameLength = 1;
constexpr std::size_t kZeroFill1 = 74;
constexpr std::size_t kZeroFill2 = 82;
constexpr std::size_t kDataForkLength = 83;
constexpr std::size_t kResourceForkLength = 87;
constexpr std::size_t kMacBinary1ZeroFrom = 101;  // zero up to the CRC in MacBinary I
constexpr std::size_t kSecondaryHeaderLength = 120;
constexpr std::size_t kWriterVersion = 122;  // 129 and up: MacBinary II or later
constexpr std::size_t kHeaderCrc = 124;
constexpr std::uint8_t kMacBinary2 = 129;
constexpr std::size_t kMaxNameLength = 63;

std::uint32_t Be32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         p[3];
}
std::uint16_t Be16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

// CRC-16 with polynomial 0x1021, initial value 0, most significant bit first.
std::uint16_t Crc16Ccitt(const std::uint8_t* p, std::size_t n) {
  std::uint16_t crc = 0;
  for (std::size_t i = 0; i < n; ++i) {
    crc = static_cast<std::uint16_t>(crc ^ (p[i] << 8));
    for (int bit = 0; bit < 8; ++bit)
      crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return crc;
}

std::uint64_t Padded(std::uint64_t n) { return (n + 127) / 128 * 128; }

}  // namespace

std::optional<DataFork> ReadMacBinaryHeader(const std::uint8_t* h, std::uint64_t memberSize) {
  if (h[kVersion] != 0 || h[kZeroFill1] != 0 || h[kZeroFill2] != 0) return std::nullopt;
  if (h[kNameLength] == 0 || h[kNameLength] > kMaxNameLength) return std::nullopt;
  if (Be16(h + kSecondaryHeaderLength) != 0) return std::nullopt;
  if (h[kWriterVersion] >= kMacBinary2) {
    if (Crc16Ccitt(h, kHeaderCrc) != Be16(h + kHeaderCrc)) return std::nullopt;
  } else {
    for (std::size_t i = kMacBinary1ZeroFrom; i < kMacBinaryHeaderLength - 2; ++i)
      if (h[i] != 0) return std::nullopt;
  }
  const std::uint64_t data = Be32(h + kDataForkLength);
  const std::uint64_t resource = Be32(h + kResourceForkLength);
  const std::uint64_t fixed = kMacBinaryHeaderLength + Padded(data);
  // The last fork may lack its padding.
  const bool fits = memberSize == fixed + Padded(resource) ||
                    (resource != 0 && memberSize == fixed + resource) ||
                    (resource == 0 && memberSize == kMacBinaryHeaderLength + data);
  if (!fits) return std::nullopt;
  return DataFork{kMacBinaryHeaderLength, data};
}

}  // namespace lzh
