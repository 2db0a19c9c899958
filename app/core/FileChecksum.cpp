#include "app/core/FileChecksum.h"

#include <array>
#include <fstream>
#include <vector>

namespace pelsok::app {
namespace {

constexpr std::array<std::uint16_t, 256> MakeTable() {
  std::array<std::uint16_t, 256> t{};
  for (unsigned i = 0; i < 256; ++i) {
    std::uint16_t c = static_cast<std::uint16_t>(i);
    for (int k = 0; k < 8; ++k)
      c = (c & 1) ? static_cast<std::uint16_t>((c >> 1) ^ 0xA001) : c >> 1;
    t[i] = c;
  }
  return t;
}

constexpr auto kTable = MakeTable();

}  // namespace

std::optional<TFileSum> FileCrc16(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  TFileSum sum;
  std::vector<char> buf(1 << 20);
  while (in) {
    in.read(buf.data(), static_cast<std::streamsize>(buf.size()));
    const auto n = static_cast<std::size_t>(in.gcount());
    for (std::size_t i = 0; i < n; ++i)
      sum.Crc16 = static_cast<std::uint16_t>(
          kTable[(sum.Crc16 ^ static_cast<unsigned char>(buf[i])) & 0xFF] ^ (sum.Crc16 >> 8));
    sum.Size += n;
  }
  if (!in.eof()) return std::nullopt;
  return sum;
}

}  // namespace pelsok::app
