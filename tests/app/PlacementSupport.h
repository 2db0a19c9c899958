// The main window's placement record as the registry holds it, for the
// placement tests on the offscreen platform and under a window manager.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/Registry.h"
#include "winplace/WindowPlacement.h"

namespace apptest {

inline winplace::TWindowPlacement StoredPlacement() {
  platform::TRegistry reg;
  EXPECT_TRUE(reg.OpenKey("Software\\Corvane\\Pelsok", false));
  std::uint8_t raw[44] = {};
  EXPECT_EQ(reg.ReadBinaryData("Form1WinPlace1", raw, sizeof raw), 44u);
  return winplace::TWindowPlacement::FromBytes(raw);
}

inline void StorePlacement(const winplace::TWindowPlacement& p) {
  platform::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Corvane\\Pelsok", true));
  const auto bytes = p.ToBytes();
  reg.WriteBinaryData("Form1WinPlace1", bytes.data(), bytes.size());
}

// "left,top right,bottom show" for messages.
inline std::string Describe(const winplace::TWindowPlacement& p) {
  const auto& r = p.rcNormalPosition;
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) +
         "," + std::to_string(r.bottom) + " show " + std::to_string(p.showCmd);
}

}  // namespace apptest
