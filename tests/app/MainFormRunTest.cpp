// Compress runs from the window with the real UNLHA32.DLL: the archive that
// lhasa lists, the old archive kept when nothing new is made, the mended
// deletion pass, continuous compression and the chosen format.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/settings/ArchiveFormat.h"
#include "app/ui/ConfirmDialog.h"
#include "app/ui/MainForm.h"
#include "app/ui/SpinEdit.h"
#include "app/ui/StatusLine.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/QtTestSupport.h"

namespace {

using pelsok::ui::TForm1;

class MainFormRunTest : public apptest::AppTest {
 protected:
  void SetUp() override {
    if (!platform::FileExists(platform::ExecutableDir() + "UNLHA32.DLL"))
      GTEST_SKIP() << "UNLHA32.DLL is not built next to the test yet";
    form = std::make_unique<TForm1>(apptest::FixedDate(2026, 12, 8));
    form->Edit1->setText(QString::fromStdString(Folder()));
    form->SetKindText("DR");
  }
  void TearDown() override {
    if (form) form->hide();
  }
  // Clicks Compress; a confirmation, if one comes, gets answer.
  void Compress(const std::function<void(pelsok::ui::TOKBottomDlg1*)>& answer = nullptr) {
    if (answer)
      apptest::WhenModal([answer](QWidget* w) {
        auto* dlg = qobject_cast<pelsok::ui::TOKBottomDlg1*>(w);
        ASSERT_NE(dlg, nullptr);
        answer(dlg);
      });
    form->Button1->click();
    Wait();
  }
  // Runs go on a worker thread: waits until the window is idle again.
  void Wait() {
    ASSERT_TRUE(apptest::SpinUntil([this] { return !form->Running(); }));
  }
  std::unique_ptr<TForm1> form;
};

TEST_F(MainFormRunTest, PacksTheMonthIntoAnArchiveThatLhasaLists) {
  const auto logs = MakeLogs(Folder(), "DR11", 3);
  MakeLogs(Folder(), "DR10", 1);  // another month
  Compress();
  const std::string archive = dir / "DR2611.LZH";
  ASSERT_TRUE(platform::FileExists(archive));
  EXPECT_EQ(form->LastRun.PackResult, 0);
  EXPECT_EQ(form->State.Edit2, Folder() + "DR11*.log");
  ASSERT_EQ(form->State.ListBox1.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_EQ(platform::ExtractFileName(form->State.ListBox1[i]), logs[i]);
  for (const auto& l : logs) EXPECT_TRUE(platform::FileExists(dir / l));  // no deletion asked

  SKIP_WITHOUT_TOOL("lhasa");
  const auto listed = testing_support::RunCommand("lhasa l '" + archive + "'");
  EXPECT_EQ(listed.status, 0) << listed.output;
  for (const auto& l : logs) EXPECT_NE(listed.output.find(l), std::string::npos) << listed.output;
  EXPECT_EQ(listed.output.find("DR1001.log"), std::string::npos);
}

TEST_F(MainFormRunTest, TheMonthIsReadAsANumber) {
  const auto logs = MakeLogs(Folder(), "DR09", 2);
  form->Spin->setText("09");
  auto failure = apptest::AcceptNextMessage();
  Compress();
  EXPECT_FALSE(failure->shown) << failure->text;
  EXPECT_TRUE(platform::FileExists(dir / "DR2609.LZH"));
  EXPECT_EQ(form->State.ListBox1.size(), logs.size());
}

TEST_F(MainFormRunTest, ARunWithNothingToPackKeepsTheOldArchive) {
  MakeLogs(Folder(), "DR11", 2);
  Compress();
  const std::string archive = dir / "DR2611.LZH";
  const std::string before = testing_support::ReadFile(archive);
  ASSERT_FALSE(before.empty());
  std::filesystem::remove(dir / "DR1101.log");
  std::filesystem::remove(dir / "DR1102.log");
  auto failure = apptest::AcceptNextMessage();
  Compress();  // the logs are gone: the run says so and starts nothing
  EXPECT_TRUE(failure->shown);
  EXPECT_NE(failure->text.find("DR11*.log"), std::string::npos) << failure->text;
  EXPECT_EQ(testing_support::ReadFile(archive), before);
  EXPECT_FALSE(platform::FileExists(archive + ".old"));
}

// A log deleted since the first run stays in the month's one archive: the
// rebuild packs the old archive's member with the logs still there.
TEST_F(MainFormRunTest, ARebuildKeepsTheMonthInOneArchive) {
  MakeLogs(Folder(), "DR11", 2);
  Compress();
  std::filesystem::remove(dir / "DR1102.log");
  Compress();
  ASSERT_EQ(form->State.ListBox1.size(), 2u);
  const auto listed = testing_support::RunCommand("lhasa l '" + (dir / "DR2611.LZH") + "'");
  EXPECT_NE(listed.output.find("DR1102.log"), std::string::npos) << listed.output;
  EXPECT_TRUE(form->LastRun.OldArchiveKeptAs.empty());
  EXPECT_FALSE(platform::FileExists(dir / "DR2611.LZH.old"));
  EXPECT_FALSE(platform::FileExists(dir / "DR1102.log")) << "the member is not left behind";
}

TEST_F(MainFormRunTest, ARebuildWithEveryOldEntryDropsTheOldArchive) {
  MakeLogs(Folder(), "DR11", 2);
  Compress();
  MakeLogs(Folder(), "DR11", 3);
  Compress();
  EXPECT_EQ(form->State.ListBox1.size(), 3u);
  EXPECT_TRUE(form->LastRun.OldArchiveKeptAs.empty());
  EXPECT_FALSE(platform::FileExists(dir / "DR2611.LZH.old"));
}

TEST_F(MainFormRunTest, OkDeletesExactlyThePackedFilesOfAThreeLetterKind) {
  form->SetKindText("ABC");
  form->Check2->setChecked(true);
  const auto logs = MakeLogs(Folder(), "ABC11", 2);
  const std::string decoy = dir.Write("BC1101.log", "the last ten characters");
  Compress([](auto* dlg) { dlg->OKBtn->click(); });
  EXPECT_EQ(form->Edit3, "Y");
  for (const auto& l : logs) EXPECT_FALSE(platform::FileExists(dir / l)) << l;
  EXPECT_TRUE(platform::FileExists(decoy));
  EXPECT_EQ(form->State.ListBox2, (std::vector<std::string>{dir / logs[0], dir / logs[1]}));
  EXPECT_TRUE(platform::FileExists(dir / "ABC2611.LZH"));
}

// The format chosen in the menu names the archive and is kept for the next start.
TEST_F(MainFormRunTest, TheChosenFormatWritesItsArchiveAndDeletesAfterTheCheck) {
  QAction* zip = nullptr;
  for (QMenu* menu : form->findChildren<QMenu*>())
    for (QAction* a : menu->actions())
      if (a->data().toString() == QStringLiteral("zip")) zip = a;
  ASSERT_NE(zip, nullptr);
  EXPECT_EQ(form->FormatLabel->text().toStdString(), "形式: LZH");
  zip->trigger();
  EXPECT_EQ(form->FormatLabel->text().toStdString(), "形式: ZIP");  // seen before the run
  form->Check2->setChecked(true);
  const auto logs = MakeLogs(Folder(), "DR11", 2);
  Compress([](auto* dlg) { dlg->OKBtn->click(); });
  EXPECT_TRUE(platform::FileExists(dir / "DR2611.ZIP"));
  EXPECT_FALSE(platform::FileExists(dir / "DR2611.LZH"));
  for (const auto& l : logs) EXPECT_FALSE(platform::FileExists(dir / l)) << l;
  EXPECT_EQ(form->StatusLine->text().left(12), QStringLiteral("DR2611.ZIP: "));
  EXPECT_STREQ(pelsok::app::LoadArchiveFormat().Name, "zip");
}

TEST_F(MainFormRunTest, CancelAndTheCloseBoxDeleteNothing) {
  form->Check2->setChecked(true);
  const auto logs = MakeLogs(Folder(), "DR11", 2);
  Compress([](auto* dlg) { dlg->CancelBtn->click(); });
  EXPECT_EQ(form->Edit3, "N");
  Compress([](auto* dlg) { dlg->close(); });  // close box, Alt+F4
  EXPECT_EQ(form->Edit3, "N");
  for (const auto& l : logs) EXPECT_TRUE(platform::FileExists(dir / l));
  EXPECT_TRUE(form->State.ListBox2.empty());
}

TEST_F(MainFormRunTest, AFileGrownAfterPackingIsKeptAndReported) {
  form->Check2->setChecked(true);
  const auto logs = MakeLogs(Folder(), "DR11", 2);
  auto kept = std::make_shared<apptest::ShownMessage>();
  const std::string grown = dir / logs[1];
  Compress([&](auto* dlg) {
    std::ofstream(grown, std::ios::app) << "written after packing\n";
    kept = apptest::AcceptNextMessage();
    dlg->OKBtn->click();
  });
  EXPECT_FALSE(platform::FileExists(dir / logs[0]));
  EXPECT_TRUE(platform::FileExists(grown));
  EXPECT_TRUE(kept->shown);
  EXPECT_NE(kept->text.find(grown), std::string::npos) << kept->text;
  EXPECT_EQ(form->State.ListBox2, (std::vector<std::string>{dir / logs[0]}));
}

TEST_F(MainFormRunTest, SixDigitModeWorksInTheCurrentFolder) {
  form->Check->setChecked(true);
  form->Check2->setChecked(true);
  form->Edit1->setText("/nonexistent/");
  const auto logs = MakeLogs(Folder(), "DR2611", 2);
  Compress([](auto* dlg) { dlg->OKBtn->click(); });
  EXPECT_EQ(form->State.Edit2, "DR2611*.log");
  EXPECT_TRUE(platform::FileExists(dir / "DR2611.LZH"));
  for (const auto& l : logs) EXPECT_FALSE(platform::FileExists(dir / l));
  ASSERT_EQ(form->State.ListBox2.size(), 2u);
  EXPECT_EQ(form->State.ListBox2[0], dir / logs[0]);
}

TEST_F(MainFormRunTest, ContinuousPacksEveryKindInOrderAndEndsOnTheFirst) {
  form->SetKinds({"DR", "DD", "NA"});
  form->SetKindText("typed");
  MakeLogs(Folder(), "DR11", 2);
  MakeLogs(Folder(), "DD11", 1);
  MakeLogs(Folder(), "NA11", 3);
  form->Check2->setChecked(true);
  auto asked = std::make_shared<std::vector<std::string>>();
  std::function<void(QWidget*)> answer = [&](QWidget* w) {
    asked->push_back(form->KindText());
    if (asked->size() < 3) apptest::WhenModal(answer);
    qobject_cast<pelsok::ui::TOKBottomDlg1*>(w)->CancelBtn->click();
  };
  apptest::WhenModal(answer);
  form->Button3->click();
  Wait();
  EXPECT_EQ(*asked, (std::vector<std::string>{"DR", "DD", "NA"}));
  EXPECT_EQ(form->KindText(), "DR");
  EXPECT_EQ(form->Kinds(), (std::vector<std::string>{"DR", "DD", "NA"}));
  for (const char* a : {"DR2611.LZH", "DD2611.LZH", "NA2611.LZH"})
    EXPECT_TRUE(platform::FileExists(dir / a)) << a;
  EXPECT_EQ(form->State.ListBox1.size(), 3u);  // the last run's entries
}

// 連続圧縮 disables the buttons while it runs; the focus comes back to 圧縮,
// so the next Enter does not add the kind in the field again.
TEST_F(MainFormRunTest, AfterAContinuousRunTheFocusIsOnCompress) {
  form->SetKinds({"DR", "DD"});
  MakeLogs(Folder(), "DR11", 1);
  MakeLogs(Folder(), "DD11", 1);
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  int idle = 0;
  QObject::connect(form.get(), &TForm1::Idle, [&] { ++idle; });
  form->Button3->setFocus();
  QTest::keyClick(form->Button3, Qt::Key_Return);
  ASSERT_TRUE(apptest::SpinUntil([&] { return idle == 1; }));
  EXPECT_EQ(form->focusWidget(), form->Button1);
  QTest::keyClick(form->focusWidget(), Qt::Key_Return);  // 圧縮 once more, nothing else
  ASSERT_TRUE(apptest::SpinUntil([&] { return idle == 2; }));
  EXPECT_EQ(form->Kinds(), (std::vector<std::string>{"DR", "DD"}));
  EXPECT_EQ(form->focusWidget(), form->Button1);
}

// The field's folder without its trailing delimiter gets one, as on the
// command line; in 6-digit mode the window names the folder it packs in.
TEST_F(MainFormRunTest, AFolderWithoutItsDelimiterGetsOneAndSixDigitModeNamesItsFolder) {
  MakeLogs(Folder(), "DR11", 2);
  form->Edit1->setText(QString::fromStdString(dir.Path()));
  Compress();
  EXPECT_TRUE(platform::FileExists(dir / "DR2611.LZH"));
  EXPECT_EQ(form->Edit1->text().toStdString(), Folder());
  EXPECT_EQ(form->State.Edit2, Folder() + "DR11*.log");

  form->Check->setChecked(true);
  const std::string line = form->StatusLine->text().toStdString();
  EXPECT_NE(line.find(platform::GetCurrentDir() + "/"), std::string::npos) << line;
  EXPECT_NE(line.find("カレントフォルダ"), std::string::npos) << line;
}

TEST_F(MainFormRunTest, MonthNotAnIntegerShowsTheErrorAndTouchesNothing) {
  MakeLogs(Folder(), "DR11", 1);
  form->Spin->setText("");
  auto msg = apptest::AcceptNextMessage();
  form->Button1->click();
  EXPECT_TRUE(msg->shown);
  EXPECT_EQ(msg->title, "ペルソク");
  EXPECT_EQ(msg->text, "'' は整数ではありません");
  EXPECT_EQ(form->State.Edit2, "Edit2");
  EXPECT_FALSE(platform::FileExists(dir / "DR2611.LZH"));
}

}  // namespace
