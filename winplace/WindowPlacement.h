// The 44-byte window placement record as the registry stores it:
// little-endian, eleven 32-bit fields.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace winplace {

// The names below are the window system's own (its show commands, flags and
// the fields of its placement, point and rectangle records).
// NOLINTBEGIN(readability-identifier-naming)

// Show commands in the window system's numbering.
enum ShowCommand : std::uint32_t {
  SW_HIDE = 0,
  SW_SHOWNORMAL = 1,
  SW_SHOWMINIMIZED = 2,
  SW_SHOWMAXIMIZED = 3,
};

// Flags: the window goes back to maximized when restored from minimized.
inline constexpr std::uint32_t WPF_RESTORETOMAXIMIZED = 0x0002;

struct TPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool operator==(const TRect&) const = default;
};

struct TWindowPlacement {
  static constexpr std::size_t kSize = 44;

  std::uint32_t length = kSize;
  std::uint32_t flags = 0;
  std::uint32_t showCmd = SW_SHOWNORMAL;
  TPoint ptMinPosition;
  TPoint ptMaxPosition;
  TRect rcNormalPosition;
  // NOLINTEND(readability-identifier-naming)

  bool operator==(const TWindowPlacement&) const = default;

  std::array<std::uint8_t, kSize> ToBytes() const;
  static TWindowPlacement FromBytes(const std::uint8_t* bytes);
};

}  // namespace winplace
