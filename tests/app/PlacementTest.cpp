// The main window's placement through the registry: first start, a moved
// window reopening where it was, a minimized window reopening normal.
#include <gtest/gtest.h>

#include <QApplication>

#include <QGuiApplication>
#include <QScreen>

#include "app/ui/MainForm.h"
#include "app/ui/ScreenFit.h"
#include "platform/Registry.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/PlacementSupport.h"
#include "winplace/WindowPlacement.h"

namespace {

using pelsok::ui::TForm1;

class PlacementTest : public apptest::AppTest {};

using apptest::StoredPlacement;

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

// Save, restore, save: the same record every time, the frame where it was.
TEST_F(PlacementTest, APlacementRoundTripsThroughThreeRestarts) {
  {
    TForm1 form(apptest::FixedDate(2026, 12, 8));
    form.show();
    form.move(300, 200);
    QApplication::processEvents();
    ASSERT_TRUE(form.close());
  }
  const winplace::TWindowPlacement first = StoredPlacement();
  EXPECT_EQ(first.rcNormalPosition.left, 300);
  EXPECT_EQ(first.rcNormalPosition.top, 200);
  for (int restart = 1; restart <= 3; ++restart) {
    TForm1 form(apptest::FixedDate(2026, 12, 8));
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(300, 200)) << "restart " << restart;
    EXPECT_EQ(form.frameGeometry().size(),
              QSize(first.rcNormalPosition.right - first.rcNormalPosition.left,
                    first.rcNormalPosition.bottom - first.rcNormalPosition.top));
    ASSERT_TRUE(form.close());
    const winplace::TWindowPlacement again = StoredPlacement();
    EXPECT_EQ(again, first) << "restart " << restart << ": " << apptest::Describe(again)
                            << " after " << apptest::Describe(first);
  }
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

TEST(ScreenFitTest, AFrameIsPulledOntoTheScreenItOverlapsMostOrTheNearest) {
  using pelsok::ui::FitOntoScreens;
  const QList<QRect> two = {QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)};
  struct Row {
    QRect frame;
    QPoint expected;
  } rows[] = {
      {QRect(100, 100, 320, 200), QPoint(100, 100)},     // inside: unchanged
      {QRect(-3000, 50, 320, 200), QPoint(0, 50)},       // left of every screen
      {QRect(5000, 5000, 320, 200), QPoint(2880, 880)},  // far right below: nearest, corner
      {QRect(1200, 900, 320, 200), QPoint(1280, 880)},   // mostly on the second screen
      {QRect(1500, -400, 320, 200), QPoint(1500, 0)},    // above the second
      {QRect(10, 10, 2000, 2000), QPoint(0, 0)},         // larger than the screen: corner shows
  };
  for (const auto& r : rows)
    EXPECT_EQ(FitOntoScreens(r.frame, two).topLeft(), r.expected)
        << r.frame.x() << "," << r.frame.y();
  EXPECT_EQ(FitOntoScreens(QRect(-5, -5, 10, 10), {}), QRect(-5, -5, 10, 10));
}

TEST_F(PlacementTest, APlacementOffEveryScreenOpensOnTheScreen) {
  winplace::TWindowPlacement p;
  p.length = 44;
  p.showCmd = winplace::SW_SHOWNORMAL;
  p.rcNormalPosition = {5000, -3000, 5320, -2800};
  apptest::StorePlacement(p);
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  form.show();
  QApplication::processEvents();
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(area.contains(form.pos())) << form.pos().x() << "," << form.pos().y();
  form.hide();
}

}  // namespace
