#include "winplace/WinPlace.h"

#include <array>
#include <cstdint>

#include "platform/Registry.h"

namespace winplace {
namespace {

std::string& SharedKeyName() {
  static std::string key;
  return key;
}

}  // namespace

TWinPlace::TWinPlace(IPlacementWindow& window, std::string name)
    : window_(window), name_(std::move(name)) {}

const std::string& TWinPlace::KeyName() { return SharedKeyName(); }

void TWinPlace::SetKeyName(const std::string& key) {
  if (SharedKeyName() != key) SharedKeyName() = key;
}

std::string TWinPlace::ValueName() const { return window_.WindowName() + name_; }

void TWinPlace::RestorePlacement() {
  platform::TRegistry reg;
  if (!reg.OpenKey(KeyName(), false)) return;
  std::array<std::uint8_t, TWindowPlacement::kSize> bytes{};
  // Throws the data-type error for a value that is not binary or too long.
  const std::size_t size = reg.ReadBinaryData(ValueName(), bytes.data(), bytes.size());
  reg.CloseKey();
  if (size < TWindowPlacement::kSize) return;
  TWindowPlacement placement = TWindowPlacement::FromBytes(bytes.data());
  placement.length = TWindowPlacement::kSize;
  if (!window_.IsWindowVisible()) placement.showCmd = SW_HIDE;
  window_.SetPlacement(placement);
}

void TWinPlace::SavePlacement() {
  platform::TRegistry reg;
  if (!reg.OpenKey(KeyName(), true)) return;
  TWindowPlacement placement = window_.GetPlacement();
  placement.length = TWindowPlacement::kSize;
  const auto bytes = placement.ToBytes();
  reg.WriteBinaryData(ValueName(), bytes.data(), bytes.size());
  reg.CloseKey();
}

}  // namespace winplace
