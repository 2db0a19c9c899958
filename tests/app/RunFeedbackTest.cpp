// Every Compress run from the window ends with something the user sees: a
// message box that says why and what to do, or the status line of a
// success; long runs keep the window answering, show their progress and
// can be cancelled without a trace.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <random>

#include "app/ui/ConfirmDialog.h"
#include "app/ui/MainForm.h"
#include "app/ui/RunProgress.h"
#include "app/ui/SpinEdit.h"
#include "app/ui/StatusLine.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/QtTestSupport.h"

namespace {

using pelsok::ui::TForm1;

class RunFeedbackTest : public apptest::AppTest {
 protected:
  void SetUp() override {
    if (!platform::FileExists(platform::ExecutableDir() + "UNLHA32.DLL"))
      GTEST_SKIP() << "UNLHA32.DLL is not built next to the test yet";
    form = std::make_unique<TForm1>(apptest::FixedDate(2026, 12, 8));
    form->Edit1->setText(QString::fromStdString(Folder()));
    form->SetKindText("DR");
  }
  void Wait() {
    ASSERT_TRUE(apptest::SpinUntil([this] { return !form->Running(); }));
  }
  // Compress; the message box that follows, if any.
  std::shared_ptr<apptest::ShownMessage> CompressExpectingMessage() {
    auto msg = apptest::AcceptNextMessage();
    form->Button1->click();
    Wait();
    return msg;
  }
  // Logs big enough that packing them takes a while.
  void MakeBigLogs(int files) {
    std::mt19937 gen(7);
    for (int d = 1; d <= files; ++d) {
      std::string body;
      while (body.size() < (1u << 20))
        body += std::to_string(gen()) + " request user " + std::to_string(gen() % 977) + "\n";
      testing_support::WriteFile(
          dir / ("DR11" + std::string(d < 10 ? "0" : "") + std::to_string(d) + ".log"), body);
    }
  }
  // Every file of the folder and its bytes.
  std::map<std::string, std::string> Snapshot() {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
      if (e.path().filename() != "hive.reg")
        files[e.path().filename().string()] = testing_support::ReadFile(e.path().string());
    return files;
  }
  std::unique_ptr<TForm1> form;
};

TEST_F(RunFeedbackTest, EachCauseOfFailureIsShownWithWhatToDo) {
  MakeLogs(Folder(), "DR11", 1);
  struct Case {
    std::string folder;
    std::string kind;
    const char* why;
  } cases[] = {
      {"Logフォルダを指定してください。", "DR", "フォルダが指定されていません"},
      {"", "DR", "フォルダが指定されていません"},
      {Folder() + "missing/", "DR", "がありません"},
      {Folder() + "missing", "DR",
       "がありません"},  // the delimiter is added, the folder is still missing
      {Folder(), "NA", "NA11*.log に当たるファイルがありません"},
  };
  for (const auto& c : cases) {
    form->Edit1->setText(QString::fromStdString(c.folder));
    form->SetKindText(c.kind);
    auto msg = CompressExpectingMessage();
    EXPECT_TRUE(msg->shown) << c.folder;
    EXPECT_EQ(msg->title, "ペルソク");
    EXPECT_NE(msg->text.find(c.why), std::string::npos) << msg->text;
    EXPECT_FALSE(msg->informative.empty()) << c.why;
  }
  EXPECT_FALSE(platform::FileExists(dir / "DR2611.LZH"));
  EXPECT_FALSE(platform::FileExists(dir / "NA2611.LZH"));
}

TEST_F(RunFeedbackTest, AnArchiveThatCannotBeWrittenIsShownAndTheOldOneStays) {
  MakeLogs(Folder(), "DR11", 2);
  // A folder where the archive goes: the library cannot put its archive there.
  std::filesystem::create_directory(dir / "DR2611.LZH");
  auto msg = CompressExpectingMessage();
  EXPECT_TRUE(msg->shown);
  EXPECT_NE(msg->text.find("DR2611.LZH"), std::string::npos) << msg->text;
  EXPECT_FALSE(msg->informative.empty());
  EXPECT_TRUE(platform::DirectoryExists(dir / "DR2611.LZH"));
  EXPECT_TRUE(platform::FileExists(dir / "DR1101.log"));
}

TEST_F(RunFeedbackTest, ASuccessSaysWhatWasPackedInTheStatusLine) {
  MakeLogs(Folder(), "DR11", 3, std::string(2000, 'x'));
  auto msg = CompressExpectingMessage();
  EXPECT_FALSE(msg->shown) << msg->text;
  const std::string line = form->StatusLine->text().toStdString();
  EXPECT_EQ(line.rfind("DR2611.LZH: 3 ファイル, 5.9 KB → ", 0), 0u) << line;
  EXPECT_EQ(form->State.Edit2, Folder() + "DR11*.log");  // the result field keeps its form
  EXPECT_TRUE(form->Button1->isEnabled());
}

TEST_F(RunFeedbackTest, ALongPackLeavesTheEventLoopRunningAndCompressDisabled) {
  MakeBigLogs(8);
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(1);
  int progressed = 0;
  form->Button1->click();
  ASSERT_TRUE(form->Running());
  EXPECT_FALSE(form->Button1->isEnabled());
  EXPECT_FALSE(form->Button3->isEnabled());
  EXPECT_FALSE(form->Progress->isHidden());
  form->Button1->click();  // a second click starts nothing
  ASSERT_TRUE(apptest::SpinUntil([&] {
    if (form->Progress->Bar->value() > 0) ++progressed;
    return !form->Running();
  }));
  EXPECT_GT(ticks, 3);
  EXPECT_GT(progressed, 0);
  EXPECT_EQ(form->LastRun.PackResult, 0);
  EXPECT_EQ(form->State.ListBox1.size(), 8u);
  EXPECT_TRUE(form->Button1->isEnabled());
  EXPECT_TRUE(form->Progress->isHidden());
}

TEST_F(RunFeedbackTest, CancelLeavesTheOldArchiveAndEveryLogByteForByte) {
  MakeBigLogs(2);
  form->Button1->click();
  Wait();
  ASSERT_TRUE(platform::FileExists(dir / "DR2611.LZH"));
  MakeBigLogs(8);  // more logs, so the rebuild takes a while
  form->Check2->setChecked(true);
  const auto before = Snapshot();
  form->Button1->click();
  // Cancel as soon as the progress display shows the first file.
  ASSERT_TRUE(
      apptest::SpinUntil([&] { return form->Progress->Bar->value() > 0 || !form->Running(); }));
  ASSERT_TRUE(form->Running()) << "the run ended before it could be cancelled";
  form->Progress->CancelBtn->click();
  Wait();
  EXPECT_EQ(Snapshot(), before);  // no temporary file, no .old, nothing deleted
  EXPECT_NE(form->StatusLine->text().toStdString().find("中止"), std::string::npos);
  EXPECT_TRUE(form->Button1->isEnabled());
}

// The line tells the whole series: packed kinds, kinds without logs and the
// kind that failed; each run starts with an empty line, also above its
// confirmation.
TEST_F(RunFeedbackTest, AContinuousRunIsSummarisedAsAWholeWithItsFailingKind) {
  form->SetKinds({"DR", "DD", "NA", "TR"});
  MakeLogs(Folder(), "DR11", 2);
  MakeLogs(Folder(), "DD11", 1);
  MakeLogs(Folder(), "TR11", 3);
  // DD's archive cannot be written: a folder has its name.
  std::filesystem::create_directory(dir / "DD2611.LZH");
  form->Check2->setChecked(true);
  form->StatusLine->Show("中止しました。書庫とログは元のままです。");  // from a run before
  auto linesAtConfirm = std::make_shared<std::vector<std::string>>();
  auto failure = std::make_shared<apptest::ShownMessage>();
  std::function<void(QWidget*)> answer = [&, linesAtConfirm](QWidget* w) {
    if (auto* dlg = qobject_cast<pelsok::ui::TOKBottomDlg1*>(w)) {
      linesAtConfirm->push_back(form->StatusLine->text().toStdString());
      apptest::WhenModal(answer);
      dlg->OKBtn->click();
      return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      failure->shown = true;
      failure->text = box->text().toStdString();
    }
    apptest::WhenModal(answer);
    w->close();
  };
  apptest::WhenModal(answer);
  form->Button3->click();
  Wait();
  apptest::CancelModalWatches();
  EXPECT_TRUE(failure->shown);
  EXPECT_NE(failure->text.find("DD2611.LZH"), std::string::npos) << failure->text;
  EXPECT_EQ(*linesAtConfirm, (std::vector<std::string>{"", ""}));  // DR and TR asked
  const std::string line = form->StatusLine->text().toStdString();
  EXPECT_EQ(line,
            "連続圧縮: DR, TR の 2 種類を圧縮しました (5 ファイル, 5 ファイルを削除)。"
            " ログなし: NA。 失敗: DD。")
      << line;
  EXPECT_EQ(form->KindText(), "DR");
}

// A text longer than the line ends in "…" and shows whole in the tool tip;
// it never widens the fixed window.
TEST_F(RunFeedbackTest, ALongStatusIsShortenedWithTheWholeTextInItsToolTip) {
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  const QSize size = form->size();
  const QString line = QStringLiteral(
      "DR2611.LZH: 30 ファイル, 33.0 MB → 4.6 MB  30 ファイルを削除しました。 ログなし: NA, TR, "
      "GA");
  form->StatusLine->Show(line);
  QApplication::processEvents();
  EXPECT_EQ(form->size(), size);
  EXPECT_EQ(form->StatusLine->text(), line);
  EXPECT_TRUE(form->StatusLine->Elided());
  EXPECT_TRUE(form->StatusLine->ShownText().endsWith(QChar(0x2026)))
      << form->StatusLine->ShownText().toStdString();
  EXPECT_LE(form->StatusLine->fontMetrics().horizontalAdvance(form->StatusLine->ShownText()),
            form->StatusLine->contentsRect().width());
  EXPECT_EQ(form->StatusLine->toolTip(), line);
  EXPECT_FALSE(form->FormatLabel->isHidden());  // the format stays in view beside it
  form->StatusLine->Show(QStringLiteral("短い行"));
  EXPECT_FALSE(form->StatusLine->Elided());
  EXPECT_TRUE(form->StatusLine->toolTip().isEmpty());
  form->hide();
}

TEST_F(RunFeedbackTest, EscStopsARunAsCancelDoes) {
  MakeBigLogs(8);
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  form->Button1->click();
  ASSERT_TRUE(
      apptest::SpinUntil([&] { return form->Progress->Bar->value() > 0 || !form->Running(); }));
  ASSERT_TRUE(form->Running()) << "the run ended before it could be stopped";
  QTest::keyClick(form.get(), Qt::Key_Escape);
  Wait();
  EXPECT_NE(form->StatusLine->text().toStdString().find("中止"), std::string::npos)
      << form->StatusLine->text().toStdString();
  EXPECT_FALSE(platform::FileExists(dir / "DR2611.LZH"));
  form->hide();
}

}  // namespace
