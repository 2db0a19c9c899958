// The main window under a real window manager (RunUnderWindowManager.sh
// starts Xvfb and openbox): its placement survives restarts to the pixel,
// title bar included, it offers no maximize action, and the help window
// opens with its title bar on the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <cstdio>

#include "app/ui/HelpWindow.h"
#include "app/ui/MainForm.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/PlacementSupport.h"
#include "tests/support/Command.h"

namespace {

using pelsok::ui::TForm1;

class WindowManagerTest : public apptest::AppTest {
 protected:
  // Shown, framed by the manager and settled.
  static void ShowFramed(QWidget& w) {
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.frameGeometry().size() != w.size(); }, 5000));
    QTest::qWait(200);
  }
  static QRect Area() { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

TEST_F(WindowManagerTest, APlacementRoundTripsThroughThreeRestarts) {
  {
    TForm1 form(apptest::FixedDate(2026, 12, 8));
    ShowFramed(form);
    form.move(600, 400);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return form.frameGeometry().topLeft() == QPoint(600, 400); }, 5000));
    ASSERT_TRUE(form.close());
  }
  const winplace::TWindowPlacement first = apptest::StoredPlacement();
  EXPECT_EQ(first.rcNormalPosition.left, 600);
  EXPECT_EQ(first.rcNormalPosition.top, 400);
  for (int restart = 1; restart <= 3; ++restart) {
    TForm1 form(apptest::FixedDate(2026, 12, 8));
    ShowFramed(form);
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(600, 400)) << "restart " << restart;
    ASSERT_TRUE(form.close());
    const winplace::TWindowPlacement again = apptest::StoredPlacement();
    EXPECT_EQ(again, first) << "restart " << restart << ": " << apptest::Describe(again)
                            << " after " << apptest::Describe(first);
  }
}

TEST_F(WindowManagerTest, AWindowStoredAboveTheScreenOpensWithItsTitleBarOnIt) {
  winplace::TWindowPlacement p;
  p.rcNormalPosition = {300, -15, 608, 176};  // the title bar above the top edge
  apptest::StorePlacement(p);
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  ShowFramed(form);
  EXPECT_TRUE(Area().contains(form.frameGeometry()))
      << form.frameGeometry().x() << "," << form.frameGeometry().y();
  EXPECT_EQ(form.frameGeometry().left(), 300);
  form.hide();
}

TEST_F(WindowManagerTest, TheFixedSizeWindowOffersNoMaximize) {
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  ShowFramed(form);
  const auto actions = testing_support::RunCommand("xprop -id " + std::to_string(form.winId()) +
                                                   " _NET_WM_ALLOWED_ACTIONS");
  ASSERT_EQ(actions.status, 0) << actions.output;
  EXPECT_NE(actions.output.find("_NET_WM_ACTION_MINIMIZE"), std::string::npos) << actions.output;
  EXPECT_EQ(actions.output.find("MAXIMIZE"), std::string::npos) << actions.output;
  EXPECT_EQ(actions.output.find("_NET_WM_ACTION_RESIZE"), std::string::npos) << actions.output;
  // What any manager reads: the functions and decorations of the Motif hints
  // (flags, functions, decorations, ...) name neither resizing nor maximizing.
  const auto motif = testing_support::RunCommand("xprop -id " + std::to_string(form.winId()) +
                                                 " -notype 32c _MOTIF_WM_HINTS");
  unsigned long flags = 0, functions = 0, decorations = 0;
  ASSERT_EQ(std::sscanf(motif.output.c_str(), "_MOTIF_WM_HINTS = %lu, %lu, %lu", &flags, &functions,
                        &decorations),
            3)
      << motif.output;
  EXPECT_EQ(functions & (0x02 | 0x10), 0u) << motif.output;    // resize, maximize
  EXPECT_EQ(decorations & (0x04 | 0x40), 0u) << motif.output;  // resize handles, maximize
  EXPECT_NE(functions & 0x08, 0u) << motif.output;             // minimize
  form.hide();
}

TEST_F(WindowManagerTest, TheHelpWindowOpensWithItsTitleBarOnTheScreen) {
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  ShowFramed(form);
  // Where a window that crept up before ended: its title bar above the screen.
  form.move(Area().left() + 10, Area().top() - 20);
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return form.frameGeometry().top() == Area().top() - 20; }, 5000));
  pelsok::ui::THelpWindow* help = pelsok::ui::WinHelp(&form, "Pelsok1.hlp", 3, 0);
  ShowFramed(*help);
  EXPECT_TRUE(Area().contains(help->frameGeometry()))
      << help->frameGeometry().x() << "," << help->frameGeometry().y();
  help->close();
  form.hide();
}

}  // namespace
