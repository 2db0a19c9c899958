#include "winplace/WindowPlacement.h"

namespace winplace {
namespace {

void Put(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t Get(const std::uint8_t* p) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
  return v;
}

std::int32_t GetSigned(const std::uint8_t* p) { return static_cast<std::int32_t>(Get(p)); }

}  // namespace

std::array<std::uint8_t, TWindowPlacement::kSize> TWindowPlacement::ToBytes() const {
  std::array<std::uint8_t, kSize> b{};
  const std::uint32_t fields[11] = {
      length,
      flags,
      showCmd,
      static_cast<std::uint32_t>(ptMinPosition.x),
      static_cast<std::uint32_t>(ptMinPosition.y),
      static_cast<std::uint32_t>(ptMaxPosition.x),
      static_cast<std::uint32_t>(ptMaxPosition.y),
      static_cast<std::uint32_t>(rcNormalPosition.left),
      static_cast<std::uint32_t>(rcNormalPosition.top),
      static_cast<std::uint32_t>(rcNormalPosition.right),
      static_cast<std::uint32_t>(rcNormalPosition.bottom),
  };
  for (std::size_t i = 0; i < 11; ++i) Put(b.data() + 4 * i, fields[i]);
  return b;
}

TWindowPlacement TWindowPlacement::FromBytes(const std::uint8_t* b) {
  TWindowPlacement w;
  w.length = Get(b);
  w.flags = Get(b + 4);
  w.showCmd = Get(b + 8);
  w.ptMinPosition = {GetSigned(b + 12), GetSigned(b + 16)};
  w.ptMaxPosition = {GetSigned(b + 20), GetSigned(b + 24)};
  w.rcNormalPosition = {GetSigned(b + 28), GetSigned(b + 32), GetSigned(b + 36), GetSigned(b + 40)};
  return w;
}

}  // namespace winplace
