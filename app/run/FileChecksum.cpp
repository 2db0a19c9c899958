#include "app/run/FileChecksum.h"

#include <array>
#include <fstream>
#include <vector>

namespace pelsok::app {
namespace {

template <typename T, T Polynomial>
constexpr std::array<T, 256> MakeTable() {
  std::array<T, 256> t{};
  for (unsigned i = 0; i < 256; ++i) {
    T c = static_cast<T>(i);
    for (int k = 0; k < 8; ++k) c = (c & 1) ? static_cast<T>((c >> 1) ^ Polynomial) : c >> 1;
    t[i] = c;
  }
  return t;
}

constexpr auto kCrc16 = MakeTable<std::uint16_t, 0xA001>();
constexpr auto kCrc32 = MakeTable<std::uint32_t, 0xEDB88320u>();

}  // namespace

TRunningSum::TRunningSum(TSumKind kind)
    : kind_(kind), c_(kind == TSumKind::Crc32 ? 0xFFFFFFFFu : 0) {}  // CRC-32 runs inverted

void TRunningSum::Add(const char* data, std::size_t n) {
  std::uint32_t c = c_;
  if (kind_ == TSumKind::Crc16) {
    for (std::size_t i = 0; i < n; ++i)
      c = kCrc16[(c ^ static_cast<unsigned char>(data[i])) & 0xFF] ^ (c >> 8);
  } else {
    for (std::size_t i = 0; i < n; ++i)
      c = kCrc32[(c ^ static_cast<unsigned char>(data[i])) & 0xFF] ^ (c >> 8);
  }
  c_ = c;
  size_ += n;
}

TFileSum TRunningSum::Sum() const {
  TFileSum sum;
  sum.Size = size_;
  sum.Sum.Kind = kind_;
  sum.Sum.Value = kind_ == TSumKind::Crc32 ? ~c_ : c_;
  return sum;
}

std::optional<TFileSum> FileChecksum(const std::string& path, TSumKind kind) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  TRunningSum sum(kind);
  std::vector<char> buf(1 << 20);
  while (in) {
    in.read(buf.data(), static_cast<std::streamsize>(buf.size()));
    sum.Add(buf.data(), static_cast<std::size_t>(in.gcount()));
  }
  if (!in.eof()) return std::nullopt;
  return sum.Sum();
}

}  // namespace pelsok::app
