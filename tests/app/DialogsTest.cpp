// The confirmation, browse and about dialogs, the spin edits and the help
// commands, as a person drives them.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <filesystem>

#include "app/ui/AboutBox.h"
#include "app/ui/BrowseDialog.h"
#include "app/ui/ConfirmDialog.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/MainForm.h"
#include "app/ui/SpinEdit.h"
#include "platform/FileSystem.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/QtTestSupport.h"

namespace {

using namespace pelsok::ui;

class DialogsTest : public apptest::AppTest {};

void Key(QWidget* w, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(w, &press);
}

TEST_F(DialogsTest, ConfirmationAnswersYesOnlyForOk) {
  std::string answer = "Yes";
  TOKBottomDlg1 dlg([&](const std::string& a) { answer = a; });
  EXPECT_EQ(dlg.windowTitle().toStdString(), "ﾀﾞｲｱﾛｸﾞ");
  EXPECT_EQ(dlg.Label->text().toStdString(), "本当にファイルを削除しますか？");
  EXPECT_TRUE(dlg.OKBtn->isDefault());
  EXPECT_EQ(dlg.size(), QSize(313, 245));
  apptest::WhenModal([](QWidget* w) { static_cast<TOKBottomDlg1*>(w)->OKBtn->click(); });
  dlg.exec();
  EXPECT_EQ(answer, "Y");
  apptest::WhenModal([](QWidget* w) { Key(w, Qt::Key_Escape); });
  dlg.exec();
  EXPECT_EQ(answer, "N");
  answer = "Y";
  apptest::WhenModal([](QWidget* w) { w->close(); });
  dlg.exec();
  EXPECT_EQ(answer, "N");
}

// The dialog is reused by every run: a cancel does not make Enter cancel the next time.
TEST_F(DialogsTest, ConfirmationOpensWithOkAsTheFocusedDefaultEveryTime) {
  std::string answer;
  TOKBottomDlg1 dlg([&](const std::string& a) { answer = a; });
  dlg.SetDetails("/var/log/app/DR2611.LZH", {"/var/log/app/DR1101.log", "/var/log/app/DR1102.log"});
  auto enter = [](QWidget* w) {
    QWidget* focused = w->focusWidget() != nullptr ? w->focusWidget() : w;
    Key(focused, Qt::Key_Return);
  };
  apptest::WhenModal([&](QWidget* w) {
    auto* d = static_cast<TOKBottomDlg1*>(w);
    d->CancelBtn->setFocus();  // the user goes to ｷｬﾝｾﾙ and presses Enter
    enter(d->CancelBtn);
  });
  dlg.exec();
  EXPECT_EQ(answer, "N");
  for (int time = 2; time <= 3; ++time) {
    bool okFocused = false, okDefault = false, cancelDefault = true;
    apptest::WhenModal([&](QWidget* w) {
      auto* d = static_cast<TOKBottomDlg1*>(w);
      okFocused = d->focusWidget() == d->OKBtn;
      okDefault = d->OKBtn->isDefault();
      cancelDefault = d->CancelBtn->isDefault();
      enter(d);
    });
    dlg.exec();
    EXPECT_TRUE(okFocused) << time;
    EXPECT_TRUE(okDefault) << time;
    EXPECT_FALSE(cancelDefault) << time;
    EXPECT_EQ(answer, "Y") << time;
  }
}

TEST_F(DialogsTest, SpinEditRefusesLettersStepsAndPullsIntoRangeOnLeaving) {
  TSpinEdit spin(1, 12);
  spin.setText("7");
  Key(spin.lineEdit(), Qt::Key_Up);
  EXPECT_EQ(spin.text().toStdString(), "8");
  Key(spin.lineEdit(), Qt::Key_Down);
  Key(spin.lineEdit(), Qt::Key_Down);
  EXPECT_EQ(spin.text().toStdString(), "6");
  spin.lineEdit()->setCursorPosition(1);
  Key(spin.lineEdit(), Qt::Key_A, "a");
  EXPECT_EQ(spin.text().toStdString(), "6");
  Key(spin.lineEdit(), Qt::Key_0, "0");
  EXPECT_EQ(spin.text().toStdString(), "60");
  QFocusEvent out(QEvent::FocusOut);
  QApplication::sendEvent(spin.lineEdit(), &out);
  EXPECT_EQ(spin.text().toStdString(), "12");
  spin.setText("");
  QApplication::sendEvent(spin.lineEdit(), &out);
  EXPECT_EQ(spin.text().toStdString(), "");
}

TEST_F(DialogsTest, BrowseOpensAtTheCurrentFolderAndOkCopiesTheFullFolder) {
  const std::string deep = dir / "a-rather-long-folder-name/another-long-folder-name/logs";
  std::filesystem::create_directories(deep);
  std::string chosen = "unchanged";
  TOKBottomDlg dlg([&](const std::string& f) { chosen = f; });
  EXPECT_EQ(dlg.windowTitle().toStdString(), "参照");
  EXPECT_EQ(dlg.CurrentFolder(), dir.Path());
  dlg.OpenFolder(deep);
  EXPECT_EQ(platform::GetCurrentDir(), deep);
  EXPECT_EQ(dlg.Directory->currentItem()->data(Qt::UserRole).toString().toStdString(), deep);
  // The label is shortened to fit, the copy is not.
  EXPECT_NE(dlg.Label2->text().toStdString(), deep);
  EXPECT_NE(dlg.Label2->text().toStdString().find("..."), std::string::npos);
  dlg.OKBtn->click();
  EXPECT_EQ(chosen, deep + "/");
  dlg.OpenFolder("/");
  dlg.OKBtnClick();
  EXPECT_EQ(chosen, "/");
}

TEST_F(DialogsTest, BrowseStartsAtTheFolderInTheField) {
  std::filesystem::create_directories(dir / "logs/app");
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  form.Edit1->setText(QString::fromStdString(dir / "logs/app/"));
  std::string opened;
  apptest::WhenModal([&](QWidget* w) {
    opened = static_cast<TOKBottomDlg*>(w)->CurrentFolder();
    static_cast<TOKBottomDlg*>(w)->CancelBtn->click();
  });
  form.Button2->click();
  EXPECT_EQ(opened, dir / "logs/app");
}

TEST_F(DialogsTest, BrowseCancelLeavesTheFieldButTheFolderChangeStays) {
  std::filesystem::create_directory(dir / "logs");
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  form.Edit1->setText("/before/");
  apptest::WhenModal([&](QWidget* w) {
    auto* dlg = static_cast<TOKBottomDlg*>(w);
    QListWidget* list = dlg->Directory;
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text().trimmed() == "logs") emit list->itemActivated(list->item(i));
    dlg->CancelBtn->click();
  });
  form.Button2->click();
  EXPECT_EQ(form.Edit1->text().toStdString(), "/before/");
  EXPECT_EQ(platform::GetCurrentDir(), dir / "logs");
}

TEST_F(DialogsTest, AboutBoxShowsTheVersion) {
  TAboutBox box;
  EXPECT_EQ(box.windowTitle().toStdString(), "ﾊﾞｰｼﾞｮﾝ情報");
  EXPECT_NE(box.Version->text().toStdString().find("1.03"), std::string::npos);
  EXPECT_EQ(box.OKButton->geometry(), QRect(111, 116, 75, 25));
  EXPECT_EQ(box.size(), QSize(298, 145));
}

// The about box, pelsok-cli --version and the package name one version.
TEST_F(DialogsTest, TheAboutBoxTheCommandLineAndThePackageShowOneVersion) {
  TAboutBox box;
  EXPECT_EQ(box.Version->text().toStdString(), "バージョン 1.03");
  const auto cli = testing_support::RunCommand(std::string("'") + PELSOK_CLI + "' --version");
  EXPECT_EQ(cli.status, 0);
  EXPECT_EQ(cli.output, "pelsok-cli 1.03\n");
  const std::string cpack = testing_support::ReadFile(PELSOK_CPACK_CONFIG);
  EXPECT_NE(cpack.find("set(CPACK_PACKAGE_VERSION \"1.03\")"), std::string::npos);
}

TEST_F(DialogsTest, HelpRequestsOpenTheShippedPages) {
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  THelpWindow* contents = WinHelp(&form, "Pelsok1.hlp", 3, 0);
  EXPECT_NE(contents->Browser->toPlainText().toStdString().find("連続圧縮"), std::string::npos);
  EXPECT_EQ(contents->SearchField, nullptr);
  THelpWindow* search = WinHelp(&form, "Pelsok1.hlp", 257, 0);
  ASSERT_NE(search->SearchField, nullptr);
  search->SearchField->setText("圧縮");
  int shown = 0;
  for (int i = 0; i < search->Keywords->count(); ++i)
    shown += !search->Keywords->item(i)->isHidden();
  EXPECT_GE(shown, 2);
  EXPECT_LT(shown, search->Keywords->count());
  THelpWindow* helpOnHelp = WinHelp(&form, "WinHelp.hlp", 4, 0);
  EXPECT_NE(helpOnHelp->Browser->toPlainText().toStdString().find("リンク"), std::string::npos);
  for (THelpWindow* w : {contents, search, helpOnHelp}) w->close();
  auto msg = apptest::AcceptNextMessage();
  form.HowtoUseHelp1->trigger();  // works through the menu too
  EXPECT_FALSE(msg->shown);
}

// The search looks through the keywords and the pages' text as a person
// reads it: part of a word, any case, full- or half-width letters and digits.
TEST_F(DialogsTest, HelpSearchFindsJapaneseWordsCaseAndWidthAsWritten) {
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  THelpWindow* search = WinHelp(&form, "Pelsok1.hlp", 257, 0);
  ASSERT_NE(search->SearchField, nullptr);
  struct Row {
    const char* typed;
    const char* page;  // the page the first match opens
  } rows[] = {
      {"ログ", "compress.html"},  {"zip", "formats.html"},  // ZIP, in another case
      {"6桁", "compress.html"},    // 数字６桁用, with a full-width digit
      {"ＬＺＨ", "formats.html"},  // full-width letters
      {"削除するログ", ""},        // only inside a sentence of a page
      {"ｶﾚﾝﾄ", "browse.html"},     // half-width katakana
  };
  for (const auto& r : rows) {
    search->SearchField->setText(QString::fromUtf8(r.typed));
    search->Search();
    ASSERT_NE(search->Keywords->currentItem(), nullptr) << r.typed;
    EXPECT_FALSE(search->Keywords->currentItem()->isHidden()) << r.typed;
    const std::string opened = search->Browser->source().toLocalFile().toStdString();
    if (*r.page != '\0') {
      EXPECT_NE(opened.find(r.page), std::string::npos) << r.typed << " " << opened;
    }
    EXPECT_NE(search->Browser->toPlainText()
                  .normalized(QString::NormalizationForm_KC)
                  .toCaseFolded()
                  .indexOf(QString::fromUtf8(r.typed)
                               .normalized(QString::NormalizationForm_KC)
                               .toCaseFolded()),
              -1)
        << r.typed << " not on " << opened;
  }
  search->SearchField->setText("見つからない言葉");
  int shown = 0;
  for (int i = 0; i < search->Keywords->count(); ++i)
    shown += !search->Keywords->item(i)->isHidden();
  EXPECT_EQ(shown, 0);
  search->close();
}

TEST_F(DialogsTest, AnErrorWhileClosingKeepsTheWindowOpen) {
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  int ended = 0;
  QObject::connect(&form, &TForm1::Closed, [&] { ++ended; });
  form.show();
  // A hive that cannot be written: its name is taken by a folder.
  std::filesystem::create_directory(dir / "hive-folder");
  setenv("PELSOK_HIVE", (dir / "hive-folder").c_str(), 1);
  auto msg = apptest::AcceptNextMessage();
  EXPECT_FALSE(form.close());
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(msg->shown);
  EXPECT_EQ(msg->title, "ペルソク");
  EXPECT_EQ(ended, 0);
  setenv("PELSOK_HIVE", (dir / "hive.reg").c_str(), 1);
  EXPECT_TRUE(form.close());
  EXPECT_EQ(ended, 1);  // the program ends only now
}

}  // namespace
