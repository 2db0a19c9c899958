// The keyboard user: Enter presses the focused button, access keys, a
// visible focus at start, Enter and type-ahead in the browse dialog, Enter
// in help search, and the details the confirmation dialog adds.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <filesystem>

#include "app/settings/HelpFiles.h"
#include "app/ui/BrowseDialog.h"
#include "app/ui/ConfirmDialog.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/MainForm.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/QtTestSupport.h"

namespace {

using pelsok::ui::TForm1;

class KeyboardTest : public apptest::AppTest {};

TEST_F(KeyboardTest, TheWindowStartsWithAVisibleFocusAndEveryButtonHasAnAccessKey) {
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_EQ(QApplication::focusWidget(), form.Button1);
  // The focus frame is drawn only while the window shows keyboard focus.
  EXPECT_TRUE(QTest::qWaitFor([&] { return form.testAttribute(Qt::WA_KeyboardFocusChange); }));
  std::set<QChar> keys;
  for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
           form.Button1, form.Button2, form.Button3, form.Button4, form.Button5}) {
    const QString text = b->text();
    const auto amp = text.indexOf('&');
    ASSERT_GE(amp, 0) << text.toStdString();
    EXPECT_TRUE(keys.insert(text[amp + 1].toUpper()).second) << text.toStdString();
  }
  form.hide();
}

TEST_F(KeyboardTest, EnterOnAFocusedButtonPressesIt) {
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  form.Combo->setEditText("ZZ");
  const int before = form.Combo->count();
  form.Button4->setFocus();  // add kind
  QTest::keyClick(form.Button4, Qt::Key_Return);
  ASSERT_TRUE(apptest::SpinUntil([&] { return form.Combo->count() == before + 1; }, 2000));
  form.Combo->setEditText("ZY");  // a kind goes in once: another one
  QTest::keyClick(form.Button4, Qt::Key_Enter, Qt::KeypadModifier);
  ASSERT_TRUE(apptest::SpinUntil([&] { return form.Combo->count() == before + 2; }, 2000));
  form.hide();
}

TEST_F(KeyboardTest, BrowseDialogEnterOpensTheFolderAndTypeAheadFindsIt) {
  std::filesystem::create_directories(dir / "alpha");
  std::filesystem::create_directories(dir / "logs/inner");
  std::string chosen;
  pelsok::ui::TOKBottomDlg dlg([&](const std::string& f) { chosen = f; });
  dlg.show();
  dlg.Directory->setFocus();
  QTest::keyClicks(dlg.Directory, "lo");
  ASSERT_NE(dlg.Directory->currentItem(), nullptr);
  EXPECT_EQ(dlg.Directory->currentItem()->text().trimmed(), "logs");
  QTest::keyClick(dlg.Directory, Qt::Key_Return);
  EXPECT_TRUE(dlg.isVisible());  // Enter opened the folder, the dialog stays
  EXPECT_EQ(dlg.CurrentFolder(), dir / "logs");
  QTest::keyClick(dlg.OKBtn, Qt::Key_Return);
  EXPECT_EQ(chosen, dir / "logs" + "/");
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(KeyboardTest, EnterInHelpSearchShowsTheFirstMatchAndThePromptFits) {
  const std::string folder = platform::ExecutableDir() + "help/Pelsok1/";
  if (!platform::DirectoryExists(folder)) GTEST_SKIP() << "help pages not copied yet";
  pelsok::ui::THelpWindow help(folder, folder + "contents.html", true);
  help.show();
  ASSERT_NE(help.SearchField, nullptr);
  const QFontMetrics fm(help.SearchField->font());
  EXPECT_GE(help.SearchField->width(), fm.horizontalAdvance(help.SearchField->placeholderText()));
  const QUrl start = help.Browser->source();
  ASSERT_GT(help.Keywords->count(), 0);
  const QString word = help.Keywords->item(help.Keywords->count() - 1)->text();
  help.SearchField->setText(word);  // typed text may be Japanese
  QTest::keyClick(help.SearchField, Qt::Key_Return);
  ASSERT_NE(help.Keywords->currentItem(), nullptr);
  EXPECT_TRUE(help.Keywords->currentItem()->text().contains(word, Qt::CaseInsensitive));
  EXPECT_EQ(help.Browser->source().toLocalFile(),
            help.Keywords->currentItem()->data(Qt::UserRole).toString());
  (void)start;
}

TEST_F(KeyboardTest, TheConfirmationNamesTheArchiveAndListsTheLogsBelowTheQuestion) {
  pelsok::ui::TOKBottomDlg1 dlg([](const std::string&) {});
  std::vector<std::string> logs;
  for (int d = 1; d <= 30; ++d)
    logs.push_back("/var/log/app/DR11" + std::string(d < 10 ? "0" : "") + std::to_string(d) +
                   ".log");
  dlg.SetDetails("/var/log/app/DR2611.LZH", logs);
  EXPECT_EQ(dlg.Label->text().toStdString(), "本当にファイルを削除しますか？");
  const std::string details = dlg.Details->text().toStdString();
  EXPECT_NE(details.find("DR2611.LZH"), std::string::npos) << details;
  EXPECT_NE(details.find("30 ファイル"), std::string::npos) << details;
  ASSERT_EQ(dlg.Logs->count(), 30);
  EXPECT_EQ(dlg.Logs->item(0)->text().toStdString(), logs[0]);
  EXPECT_EQ(dlg.Logs->item(29)->text().toStdString(), logs[29]);
  dlg.show();
  QApplication::processEvents();
  EXPECT_TRUE(dlg.Logs->verticalScrollBar()->isVisible());  // more than it shows: it scrolls
  EXPECT_GT(dlg.Details->y(), dlg.Label->y());
  EXPECT_GT(dlg.Logs->y(), dlg.Details->y());
  EXPECT_GT(dlg.OKBtn->y(), dlg.Logs->geometry().bottom());
  dlg.hide();
}

}  // namespace
