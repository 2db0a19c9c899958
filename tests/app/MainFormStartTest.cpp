// The main window's start-up and shutdown: date defaults, stored settings
// and their failure, the kind list commands, captions and layout.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

#include "app/settings/DataSave.h"
#include "app/ui/MainForm.h"
#include "app/ui/SpinEdit.h"
#include "platform/Registry.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/QtTestSupport.h"

namespace {

using pelsok::ui::TForm1;

class MainFormStartTest : public apptest::AppTest {};

const std::vector<std::string> kDefaultKinds{"DR", "DD", "NA", "TR", "GA"};

void StoreKeta(const std::string& value) {
  platform::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Corvane\\Pelsok", true));
  reg.WriteString("Keta", "Keta", value);
}

TEST_F(MainFormStartTest, FirstStartKeepsTheWindowsOwnDefaults) {
  TForm1 form(apptest::FixedDate(2000, 1, 20));
  EXPECT_EQ(form.Edit1->text().toStdString(), "Logフォルダを指定してください。");
  EXPECT_EQ(form.Kinds(), kDefaultKinds);
  EXPECT_EQ(form.KindText(), "DR");
  EXPECT_EQ(form.Spin->text().toStdString(), "12");
  EXPECT_EQ(form.Spin2->text().toStdString(), "99");
  EXPECT_FALSE(form.Check->isChecked());
  EXPECT_EQ(form.pos(), QPoint(202, 113));
}

TEST_F(MainFormStartTest, SixDigitBoxStartsTickedOnlyForExactlyYes) {
  const std::pair<const char*, bool> cases[] = {
      {"Yes", true}, {"No", false}, {"yes", false}, {"Y", false}, {"", false}};
  for (const auto& [stored, ticked] : cases) {
    StoreKeta(stored);
    TForm1 form(apptest::FixedDate(1998, 7, 15));
    EXPECT_EQ(form.Check->isChecked(), ticked) << stored;
    EXPECT_EQ(form.Edit3, stored);
    EXPECT_EQ(form.Spin->text().toStdString(), "6");
  }
}

TEST_F(MainFormStartTest, StoredSettingsReplaceFolderAndKindsButNotTheKindText) {
  pelsok::app::TDataSave::SaveSettings({"/srv/logs/", "Yes", {"AA", "", "BBB"}});
  TForm1 form(apptest::FixedDate(1999, 2, 3));
  EXPECT_EQ(form.Edit1->text().toStdString(), "/srv/logs/");
  EXPECT_EQ(form.Kinds(), (std::vector<std::string>{"AA", "", "BBB"}));
  EXPECT_EQ(form.KindText(), "DR");
  EXPECT_TRUE(form.Check->isChecked());
  EXPECT_EQ(form.Spin->text().toStdString(), "1");
  EXPECT_EQ(form.Spin2->text().toStdString(), "99");
}

TEST_F(MainFormStartTest, AStoredValueOfTheWrongTypeIsShownAndSkipsTheRestOfStartUp) {
  pelsok::app::TDataSave::SaveSettings({"/srv/logs/", "Yes", {"AA"}});
  {
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Corvane\\Pelsok\\PathName", true));
    const std::uint8_t bytes[1] = {7};
    reg.WriteBinaryData("PathName", bytes, 1);
  }
  auto msg = apptest::AcceptNextMessage();
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  EXPECT_TRUE(msg->shown);
  EXPECT_EQ(msg->title, "ペルソク");
  EXPECT_EQ(msg->text, "'PathName' のﾃﾞｰﾀ型が不正です");
  EXPECT_EQ(msg->icon, QMessageBox::Critical);
  EXPECT_EQ(form.Edit1->text().toStdString(), "Logフォルダを指定してください。");
  EXPECT_EQ(form.Kinds(), kDefaultKinds);
  EXPECT_FALSE(form.Check->isChecked());
  // The date defaults ran before the failure.
  EXPECT_EQ(form.Spin->text().toStdString(), "11");
}

TEST_F(MainFormStartTest, ShutdownStoresTheBoxAsYesOrNoAndTheFields) {
  {
    TForm1 form(apptest::FixedDate(2026, 12, 8));
    form.Edit1->setText("/var/log/app/");
    form.Check->setChecked(true);
    form.Edit3 = "N";  // a confirmation answer left over
    form.SetKinds({"DR", "DD", "NA"});
    form.show();
    EXPECT_TRUE(form.close());
    EXPECT_EQ(form.Edit3, "Yes");
  }
  platform::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Corvane\\Pelsok", false));
  EXPECT_EQ(reg.ReadString("Keta", "Keta", "?"), "Yes");
  EXPECT_EQ(reg.ReadString("PathName", "Pathname", "?"), "/var/log/app/");
  EXPECT_EQ(reg.ReadString("ComboData", "ComboData", "?"), "DR\r\nDD\r\nNA\r\n");
  reg.CloseKey();
  {
    TForm1 form(apptest::FixedDate(2026, 12, 8));
    EXPECT_TRUE(form.Check->isChecked());
    form.Check->setChecked(false);
    form.show();
    form.close();
  }
  ASSERT_TRUE(reg.OpenKey("Software\\Corvane\\Pelsok", false));
  EXPECT_EQ(reg.ReadString("Keta", "Keta", "?"), "No");
}

// A kind goes into the list once; adding it again, or no text, adds nothing.
TEST_F(MainFormStartTest, AddAppendsANewKindOnceAndNeverAnEmptyOne) {
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  form.SetKindText("XY");
  form.Button4->click();
  form.A1->trigger();
  auto expected = kDefaultKinds;
  expected.push_back("XY");
  EXPECT_EQ(form.Kinds(), expected);
  form.SetKindText("DR");
  form.Button4->click();
  EXPECT_EQ(form.Kinds(), expected);
  form.SetKindText("dr");  // kinds are names of files: another case is another kind
  form.Button4->click();
  expected.push_back("dr");
  EXPECT_EQ(form.Kinds(), expected);
  form.SetKindText("");
  form.Button4->click();
  EXPECT_EQ(form.Kinds(), expected);
}

// 種類削除 removes what the field shows, never an item chosen earlier.
TEST_F(MainFormStartTest, DeleteRemovesExactlyTheKindShownOrSaysItIsNotListed) {
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  form.show();
  // NA typed, the list opened and closed with Esc, then ZZ typed.
  form.SetKindText("NA");
  form.Combo->showPopup();
  QApplication::processEvents();
  QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(form.Combo->view(), &esc);
  form.Combo->hidePopup();
  form.SetKindText("ZZ");
  auto msg = apptest::AcceptNextMessage();
  form.Button5->click();
  EXPECT_EQ(form.Kinds(), kDefaultKinds);
  EXPECT_TRUE(msg->shown);
  EXPECT_NE(msg->text.find("ZZ"), std::string::npos) << msg->text;
  EXPECT_NE(msg->text.find("リストにありません"), std::string::npos) << msg->text;
  EXPECT_EQ(form.KindText(), "ZZ");

  form.SelectKind(1);  // DD chosen from the list, then NA typed over it
  form.SetKindText("NA");
  form.D1->trigger();
  EXPECT_EQ(form.Kinds(), (std::vector<std::string>{"DR", "DD", "TR", "GA"}));
  EXPECT_EQ(form.KindText(), "NA");
  form.hide();
}

TEST_F(MainFormStartTest, CaptionsMenusAndFixedClientArea) {
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  EXPECT_EQ(form.windowTitle().toStdString(), "ペルソク");
  EXPECT_EQ(form.ClientArea->size(), QSize(306, 149));
  EXPECT_EQ(form.Button1->geometry(), QRect(11, 5, 75, 25));
  EXPECT_EQ(form.Edit1->geometry(), QRect(6, 119, 235, 24));
  EXPECT_EQ(form.Check2->text().toStdString(), "圧縮後削除");
  EXPECT_EQ(form.PathLabel->text().toStdString(), "パス(最後に必ず / をつけること)");
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
  std::vector<std::string> menus;
  for (QAction* a : form.menuBar()->actions()) menus.push_back(a->text().toStdString());
  EXPECT_EQ(menus, (std::vector<std::string>{"ﾌｧｲﾙ(&F)", "ｵﾌﾟｼｮﾝ(&O)", "ﾍﾙﾌﾟ(&H)"}));
  EXPECT_EQ(form.SearchforHelpOn1->text().toStdString(), "ﾄﾋﾟｯｸの検索(&S)...");
  EXPECT_EQ(form.About1->text().toStdString(), "ﾊﾞｰｼﾞｮﾝ情報(&A)...");
  const QStringList families = form.Button1->font().families();
  ASSERT_EQ(families.size(), 2);
  EXPECT_EQ(families[0].toStdString(), "ＭＳ Ｐゴシック");
  EXPECT_EQ(form.Button1->font().pixelSize(), 16);
}

TEST_F(MainFormStartTest, TabGoesThroughTheControlsInTheirOrder) {
  TForm1 form(apptest::FixedDate(2026, 12, 8));
  form.show();
  QApplication::setActiveWindow(&form);
  form.Button1->setFocus();
  QApplication::processEvents();
  // Row by row from the left, as the controls stand.
  QWidget* order[] = {
      form.Button1, form.Combo,  form.Button4,          form.Button3, form.Spin2->lineEdit(),
      form.Button5, form.Check,  form.Spin->lineEdit(), form.Check2,  form.Edit1,
      form.Button2, form.Button1};
  // Each control after the last stands lower, or on the same row further right.
  auto control = [&](QWidget* w) {
    return w->parentWidget() == form.ClientArea ? w : w->parentWidget();
  };
  for (std::size_t i = 1; i + 1 < std::size(order); ++i) {
    const QWidget* prev = control(order[i - 1]);
    const QWidget* cur = control(order[i]);
    const bool sameRow = std::abs(prev->y() - cur->y()) <= 6;
    EXPECT_TRUE(sameRow ? cur->x() > prev->x() : cur->y() > prev->y()) << i;
  }
  for (std::size_t i = 0; i < std::size(order); ++i) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr) << i;
    EXPECT_TRUE(focused == order[i] || order[i]->isAncestorOf(focused)) << i;
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(focused, &tab);
    QApplication::processEvents();
  }
  form.hide();
}

}  // namespace
