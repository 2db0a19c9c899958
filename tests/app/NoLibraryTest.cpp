// Runs with no archiver library anywhere near: the run fails with the
// library-missing message and an existing archive stays as it was.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "app/run/CompressRun.h"
#include "app/ui/ArchiveViewer.h"
#include "app/ui/MainForm.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/QtTestSupport.h"

namespace {

const char kMissing[] = "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。";

class NoLibraryTest : public apptest::AppTest {
 protected:
  void SetUp() override {
    ASSERT_FALSE(platform::FileExists(platform::ExecutableDir() + "UNLHA32.DLL"));
  }
};

TEST_F(NoLibraryTest, TheRunFailsAndTheOldArchiveStays) {
  MakeLogs(Folder(), "DR11", 2);
  const std::string archive = dir.Write("DR2611.LZH", "the only copy");
  pelsok::app::TRunState state;
  pelsok::app::TCompressRun run(state);
  try {
    run.Run({Folder(), "DR", "26", "11", false, true}, [] { return true; });
    FAIL() << "no error";
  } catch (const platform::Exception& e) {
    EXPECT_EQ(e.Message(), kMissing);
  }
  EXPECT_EQ(testing_support::ReadFile(archive), "the only copy");
  EXPECT_FALSE(platform::FileExists(archive + ".old"));
  EXPECT_TRUE(platform::FileExists(dir / "DR1101.log"));
  EXPECT_EQ(state.Edit2, "Edit2");
}

TEST_F(NoLibraryTest, TheWindowShowsTheMessageAndContinuousStopsAtTheFirstKind) {
  const std::string archive = dir.Write("DD2611.LZH", "the only copy");
  MakeLogs(Folder(), "DD11", 1);
  pelsok::ui::TForm1 form(apptest::FixedDate(2026, 12, 8));
  form.Edit1->setText(QString::fromStdString(Folder()));
  form.SetKinds({"DD", "DR", "NA"});
  form.SetKindText("typed");
  auto first = apptest::AcceptNextMessage();
  form.Button3->click();
  ASSERT_TRUE(apptest::SpinUntil([&] { return !form.Running(); }));
  EXPECT_TRUE(first->shown);
  EXPECT_EQ(first->title, "ペルソク");
  EXPECT_EQ(first->text, kMissing);
  // What to do: where the library goes.
  EXPECT_NE(first->informative.find("ライブラリ"), std::string::npos) << first->informative;
  EXPECT_EQ(form.KindText(), "DD");  // the failed kind, not the first-kind reset
  EXPECT_EQ(testing_support::ReadFile(archive), "the only copy");
  // One box only: no later kind ran.
  auto second = apptest::AcceptNextMessage();
  QApplication::processEvents();
  EXPECT_FALSE(second->shown);
}

}  // namespace

namespace {

// The viewer names the missing library and where it may be put.
TEST_F(NoLibraryTest, TheViewerNamesTheMissingLibraryAndItsFolders) {
  const std::string archive = dir.Write("DR2611.LZH", "-lh5- not read without its library");
  pelsok::ui::TArchiveViewer viewer;
  viewer.setAttribute(Qt::WA_DeleteOnClose, false);
  EXPECT_FALSE(viewer.Open(archive));
  const std::string shown = viewer.ErrorLine->text().toStdString();
  EXPECT_NE(shown.find(kMissing), std::string::npos) << shown;
  EXPECT_NE(shown.find("プログラムと同じフォルダ"), std::string::npos) << shown;
}

}  // namespace
