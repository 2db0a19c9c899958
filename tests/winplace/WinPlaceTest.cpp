// The placement record's byte layout and the component's registry rules.
// The window is a double here because the component is meant to work without
// any window system; tests/app runs it on the real main window.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <vector>

#include "platform/Exceptions.h"
#include "platform/Registry.h"
#include "tests/support/TempDir.h"
#include "winplace/WinPlace.h"

namespace {

using winplace::TWindowPlacement;

// Test double standing in for a window: remembers what was applied.
class PlacementWindowDouble : public winplace::IPlacementWindow {
 public:
  std::string name = "Form1";
  bool visible = false;
  TWindowPlacement current;
  std::vector<TWindowPlacement> applied;

  std::string WindowName() const override { return name; }
  bool IsWindowVisible() const override { return visible; }
  TWindowPlacement GetPlacement() const override { return current; }
  void SetPlacement(const TWindowPlacement& p) override { applied.push_back(p); }
};

class WinPlaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("PELSOK_HIVE", (dir / "hive.reg").c_str(), 1);
    winplace::TWinPlace::SetKeyName("Software\\Corvane\\Pelsok");
  }
  testing_support::TempDir dir;
};

TWindowPlacement Sample() {
  TWindowPlacement p;
  p.flags = winplace::WPF_RESTORETOMAXIMIZED;
  p.showCmd = winplace::SW_SHOWMINIMIZED;
  p.ptMinPosition = {-32000, -32000};
  p.ptMaxPosition = {-1, -1};
  p.rcNormalPosition = {310, 220, 622, 416};
  return p;
}

TEST(WindowPlacementRecord, IsFortyFourLittleEndianBytesWithSignedFields) {
  const auto bytes = Sample().ToBytes();
  ASSERT_EQ(bytes.size(), 44u);
  EXPECT_EQ(bytes[0], 0x2C);
  EXPECT_EQ(bytes[1], 0);
  EXPECT_EQ(bytes[4], 2);      // flags
  EXPECT_EQ(bytes[8], 2);      // show command
  EXPECT_EQ(bytes[12], 0x00);  // -32000 = 0xFFFF8300
  EXPECT_EQ(bytes[13], 0x83);
  EXPECT_EQ(bytes[15], 0xFF);
  EXPECT_EQ(bytes[28], 310 & 0xFF);
  EXPECT_EQ(bytes[29], 310 >> 8);
  EXPECT_EQ(TWindowPlacement::FromBytes(bytes.data()), Sample());
}

TEST_F(WinPlaceTest, SaveThenRestoreAppliesTheStoredRectangleHiddenWhileTheWindowIsHidden) {
  PlacementWindowDouble window;
  window.current = Sample();
  winplace::TWinPlace place(window, "WinPlace1");
  place.SavePlacement();

  platform::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Corvane\\Pelsok", false));
  EXPECT_EQ(reg.GetDataType("Form1WinPlace1"), platform::REG_BINARY);
  std::uint8_t raw[44] = {};
  EXPECT_EQ(reg.ReadBinaryData("Form1WinPlace1", raw, sizeof raw), 44u);
  EXPECT_EQ(raw[0], 0x2C);
  reg.CloseKey();

  place.RestorePlacement();
  ASSERT_EQ(window.applied.size(), 1u);
  EXPECT_EQ(window.applied[0].showCmd, winplace::SW_HIDE);
  EXPECT_EQ(window.applied[0].rcNormalPosition, Sample().rcNormalPosition);

  window.visible = true;
  place.RestorePlacement();
  EXPECT_EQ(window.applied.back().showCmd, winplace::SW_SHOWMINIMIZED);
}

TEST_F(WinPlaceTest, NothingIsAppliedWithoutKeyValueOrWithAShortValue) {
  PlacementWindowDouble window;
  winplace::TWinPlace place(window, "WinPlace1");
  place.RestorePlacement();  // no key at all
  EXPECT_TRUE(window.applied.empty());

  platform::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Corvane\\Pelsok", true));
  place.RestorePlacement();  // key, no value
  const std::uint8_t shortValue[20] = {44};
  reg.WriteBinaryData("Form1WinPlace1", shortValue, sizeof shortValue);
  reg.CloseKey();
  place.RestorePlacement();
  EXPECT_TRUE(window.applied.empty());
}

TEST_F(WinPlaceTest, AValueOfAnotherTypeOrTooLongIsADataTypeError) {
  PlacementWindowDouble window;
  winplace::TWinPlace place(window, "WinPlace1");
  platform::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Corvane\\Pelsok", true));
  reg.WriteString("", "Form1WinPlace1", "text");
  reg.CloseKey();
  try {
    place.RestorePlacement();
    FAIL() << "no error";
  } catch (const platform::Exception& e) {
    EXPECT_EQ(e.Message(), "'Form1WinPlace1' のﾃﾞｰﾀ型が不正です");
  }
  ASSERT_TRUE(reg.OpenKey("Software\\Corvane\\Pelsok", true));
  const std::uint8_t longValue[48] = {44};
  reg.WriteBinaryData("Form1WinPlace1", longValue, sizeof longValue);
  reg.CloseKey();
  EXPECT_THROW(place.RestorePlacement(), platform::Exception);
  EXPECT_TRUE(window.applied.empty());
}

TEST_F(WinPlaceTest, InstancesShareOneKeyAndStoreOneValueEachByOwnerName) {
  PlacementWindowDouble a, b;
  b.name = "Form2";
  a.current = Sample();
  b.current = Sample();
  b.current.rcNormalPosition = {1, 2, 3, 4};
  winplace::TWinPlace pa(a, "WinPlace1"), pb(b, "WinPlace1");
  winplace::TWinPlace::SetKeyName("Software\\Corvane\\Other");
  EXPECT_EQ(winplace::TWinPlace::KeyName(), "Software\\Corvane\\Other");
  pa.SavePlacement();
  pb.SavePlacement();
  a.visible = b.visible = true;
  pa.RestorePlacement();
  pb.RestorePlacement();
  ASSERT_EQ(a.applied.size(), 1u);
  ASSERT_EQ(b.applied.size(), 1u);
  EXPECT_EQ(a.applied[0].rcNormalPosition, Sample().rcNormalPosition);
  EXPECT_EQ(b.applied[0].rcNormalPosition, (winplace::TRect{1, 2, 3, 4}));
}

}  // namespace
