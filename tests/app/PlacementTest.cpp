// The main window's placement through the registry: first start, a moved
// window reopening where it was, a minimized window reopening normal.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/ui/MainForm.h"
#include "platform/Registry.h"
#include "tests/app/AppTestSupport.h"
#include "winplace/WindowPlacement.h"

namespace {

using pelsok::ui::TForm1;

class PlacementTest : public apptest::AppTest {};

winplace::TWindowPlacement StoredPlacement() {
  platform::TRegistry reg;
  EXPECT_TRUE(reg.OpenKey("Software\\Corvane\\Pelsok", false));
  std::uint8_t raw[44] = {};
  EXPECT_EQ(reg.ReadBinaryData("Form1WinPlace1", raw, sizeof raw), 44u);
  return winplace::TWindowPlacement::FromBytes(raw);
}

TEST_F(PlacementTest, MovedWindowReopensWhereItWasHiddenUntilShown) {
  {
    TForm1 form(apptest::FixedDate(2026, 12, 8));
    EXPECT_EQ(form.pos(), QPoint(202, 113));
    form.show();
    form.move(340, 260);
    QApplication::processEvents();
    ASSERT_TRUE(form.close());
  }
  const auto stored = StoredPlacement();
  EXPECT_EQ(stored.length, 44u);
  EXPECT_EQ(stored.showCmd, winplace::SW_SHOWNORMAL);
  EXPECT_EQ(stored.rcNormalPosition.left, 340);
  EXPECT_EQ(stored.rcNormalPosition.top, 260);

  TForm1 again(apptest::FixedDate(2026, 12, 8));
  EXPECT_FALSE(again.isVisible());
  EXPECT_EQ(again.pos(), QPoint(340, 260));
}

TEST_F(PlacementTest, MinimizedAtShutdownReopensNormalAtTheNormalRectangle) {
  {
    TForm1 form(apptest::FixedDate(2026, 12, 8));
    form.show();
    form.move(150, 90);
    QApplication::processEvents();
    form.showMinimized();
    QApplication::processEvents();
    ASSERT_TRUE(form.close());
  }
  const auto stored = StoredPlacement();
  EXPECT_EQ(stored.showCmd, winplace::SW_SHOWMINIMIZED);
  EXPECT_EQ(stored.rcNormalPosition.left, 150);
  EXPECT_EQ(stored.rcNormalPosition.top, 90);

  TForm1 again(apptest::FixedDate(2026, 12, 8));
  again.show();
  QApplication::processEvents();
  EXPECT_FALSE(again.isMinimized());
  EXPECT_EQ(again.pos(), QPoint(150, 90));
  again.hide();
}

}  // namespace
