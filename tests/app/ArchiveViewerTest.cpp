// The archive viewer on the offscreen platform with the real libraries: its
// table sorts by every column and filters, extraction and drag out go
// through the worker, errors show in the viewer, and the main window opens
// archives from its menu item, a drop and the command line, and offers the
// result list after a continuous run; the viewer and the result list tell
// whether an archive's manifest verifies.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>

#include "app/settings/ShiftJisNames.h"
#include "app/ui/ArchiveViewer.h"
#include "app/ui/ListingFilter.h"
#include "app/ui/ListingModel.h"
#include "app/ui/ListingTable.h"
#include "app/ui/MainForm.h"
#include "app/ui/MemberView.h"
#include "app/ui/ResultList.h"
#include "app/ui/SearchResults.h"
#include "app/ui/StatusLine.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/ManifestSupport.h"
#include "tests/app/QtTestSupport.h"
#include "tests/app/SampleArchive.h"

namespace {

using pelsok::ui::TArchiveViewer;
using pelsok::ui::TListingModel;
using pelsok::ui::TSearchResults;

class ArchiveViewerTest : public apptest::SampleArchiveTest {
 protected:
  // A viewer of its own, closed with the test.
  TArchiveViewer* Viewer(const std::string& archive) {
    viewer = std::make_unique<TArchiveViewer>();
    viewer->setAttribute(Qt::WA_DeleteOnClose, false);
    viewer->Open(archive);
    return viewer.get();
  }
  // The viewers a main window opened.
  static QList<TArchiveViewer*> Viewers(QWidget& form) {
    return form.findChildren<TArchiveViewer*>();
  }
  std::unique_ptr<TArchiveViewer> viewer;
};

// The value a column sorts by in the filter's row.
qulonglong Value(TArchiveViewer* v, int row, int column) {
  return v->Filter->index(row, column).data(TListingModel::kSortRole).toULongLong();
}

TEST_F(ArchiveViewerTest, EveryColumnSortsByItsValueAndTheFilterNarrowsTheRows) {
  TArchiveViewer* v = Viewer(apptest::PackSampleLogs(logFolder, "lzh"));
  ASSERT_EQ(v->Filter->rowCount(), 3);
  for (int column : {TListingModel::kSize, TListingModel::kPacked, TListingModel::kRatio,
                     TListingModel::kStamp}) {
    SCOPED_TRACE(column);
    for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
      v->Table->sortByColumn(column, order);
      for (int row = 1; row < 3; ++row) {
        const qulonglong a = Value(v, row - 1, column), b = Value(v, row, column);
        EXPECT_TRUE(order == Qt::AscendingOrder ? a <= b : a >= b) << a << " " << b;
      }
    }
  }
  v->Table->sortByColumn(TListingModel::kName, Qt::DescendingOrder);
  EXPECT_TRUE(v->Filter->index(0, 0).data().toString().endsWith("DR1103.log"));
  EXPECT_EQ(v->Filter->index(0, TListingModel::kSize).data().toString(), "700");
  EXPECT_EQ(v->Filter->index(0, TListingModel::kStamp).data().toString(), "2026-11-03 12:34:56");

  const struct {
    const char* Text;
    int Rows;
  } filters[] = {{"dr1102", 1}, {"*03.log", 1}, {"DR11*", 3}, {"var/log", 3}, {"none", 0}, {"", 3}};
  for (const auto& f : filters) {
    v->FilterEdit->setText(QString::fromUtf8(f.Text));
    EXPECT_EQ(v->Filter->rowCount(), f.Rows) << f.Text;
  }
  v->FilterEdit->setText("dr1102");
  EXPECT_TRUE(v->StatusLine->text().contains(QStringLiteral("3 ファイル")));
  EXPECT_TRUE(v->StatusLine->text().contains(QStringLiteral("表示: 1 / 3")));
}

TEST_F(ArchiveViewerTest, ExtractsOnTheWorkerAndReportsTheCount) {
  TArchiveViewer* v = Viewer(apptest::PackSampleLogs(logFolder, "zip"));
  v->WithFolders->setChecked(false);
  v->Table->selectRow(1);
  auto msg = apptest::AcceptNextMessage();
  v->StartExtract(v->Table->SelectedNames(), dir / "out");
  EXPECT_TRUE(v->Busy());
  ASSERT_TRUE(apptest::SpinUntil([&] { return !v->Busy() && msg->shown; }));
  EXPECT_EQ(testing_support::ListFiles(dir / "out"), std::vector<std::string>{"DR1102.log"});
  EXPECT_NE(msg->text.find("1 ファイルを"), std::string::npos) << msg->text;
  EXPECT_EQ(msg->icon, QMessageBox::Information);
}

// Enter in the search field lists the matching lines; a double-click on a
// row opens the member at that line; a bad expression is told at once.
TEST_F(ArchiveViewerTest, TheSearchFieldListsLinesAndOpensOneInContext) {
  testing_support::WriteFile(logFolder + "DR1104.log", "ok\nERROR disk full\nok\n");
  TArchiveViewer* v = Viewer(apptest::PackSampleLogs(logFolder, "lzh"));
  EXPECT_FALSE(v->Results->isVisible());
  v->show();
  v->SearchEdit->setText(QStringLiteral("disk full"));
  emit v->SearchEdit->returnPressed();
  EXPECT_TRUE(v->Busy());
  ASSERT_TRUE(apptest::SpinUntil([&] { return !v->Busy(); }));
  ASSERT_EQ(v->Results->rowCount(), 1);
  EXPECT_TRUE(v->Results->isVisible());
  EXPECT_TRUE(v->Results->item(0, TSearchResults::kMember)->text().endsWith("DR1104.log"));
  EXPECT_EQ(v->Results->item(0, TSearchResults::kLine)->text(), "2");
  EXPECT_EQ(v->Results->item(0, TSearchResults::kText)->text(), "ERROR disk full");
  EXPECT_TRUE(v->StatusLine->text().contains(QStringLiteral("1 行が見つかりました")));
  emit v->Results->cellDoubleClicked(0, 0);
  ASSERT_TRUE(apptest::SpinUntil([&] { return !v->Busy() && v->LastContextView() != nullptr; }));
  EXPECT_TRUE(v->LastContextView()->Text->isReadOnly());
  EXPECT_EQ(v->LastContextView()->Text->textCursor().blockNumber(), 1);
  EXPECT_TRUE(v->LastContextView()->Text->toPlainText().contains(">      2  ERROR disk full"));

  v->RegexBox->setChecked(true);
  v->SearchEdit->setText(QStringLiteral("(disk"));
  auto msg = apptest::AcceptNextMessage();
  v->StartSearch();
  EXPECT_FALSE(v->Busy());
  EXPECT_TRUE(msg->shown);
  EXPECT_TRUE(v->ErrorLine->text().contains(QStringLiteral("正規表現")));
}

TEST_F(ArchiveViewerTest, DraggedRowsCarryTheirExtractedFiles) {
  TArchiveViewer* v = Viewer(apptest::PackSampleLogs(logFolder, "lzh"));
  v->Table->selectRow(0);
  v->Table->selectionModel()->select(v->Filter->index(2, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
  v->WithFolders->setChecked(false);
  std::unique_ptr<QMimeData> data(v->Table->DragData());
  ASSERT_NE(data, nullptr);
  QStringList names;
  for (const QUrl& url : data->urls()) {
    const std::string file = url.toLocalFile().toStdString();
    names << url.fileName();
    EXPECT_EQ(testing_support::ReadFile(file),
              testing_support::ReadFile(logFolder + url.fileName().toStdString()));
  }
  EXPECT_EQ(names, (QStringList{"DR1101.log", "DR1103.log"}));
}

TEST_F(ArchiveViewerTest, ErrorsShowInTheViewerWithWhatToDo) {
  dir.Write("DR2610.LZH", "-lh5- cut off");
  TArchiveViewer* v = Viewer(dir / "DR2610.LZH");
  EXPECT_FALSE(v->ErrorLine->isHidden());
  EXPECT_TRUE(v->ErrorLine->text().contains(QStringLiteral("開けません")));
  EXPECT_TRUE(v->ErrorLine->text().contains(QStringLiteral("確かめてください")));
  EXPECT_FALSE(v->ExtractAction->isEnabled());
  EXPECT_FALSE(v->TestAction->isEnabled());

  // A folder that cannot be made: said before anything is extracted.
  v->Open(apptest::PackSampleLogs(logFolder, "lzh"));
  EXPECT_TRUE(v->ErrorLine->isHidden());
  dir.Write("file", "x");
  auto msg = apptest::AcceptNextMessage();
  v->StartExtract({}, dir / "file/sub");
  EXPECT_FALSE(v->Busy());
  EXPECT_NE(msg->text.find("作れません"), std::string::npos) << msg->text;
  EXPECT_NE(msg->informative.find("書き込めるフォルダ"), std::string::npos) << msg->informative;
}

TEST_F(ArchiveViewerTest, TheMainWindowOpensByMenuKeyDropAndCommandLine) {
  const std::string archive = apptest::PackSampleLogs(logFolder, "lzh");
  pelsok::ui::TForm1 form(apptest::FixedDate(2026, 12, 8));
  EXPECT_EQ(form.OpenArchive1->text(), QStringLiteral("書庫を開く(&O)…"));
  EXPECT_EQ(form.OpenArchive1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));

  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(archive))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &drop);
  ASSERT_EQ(Viewers(form).size(), 1);
  EXPECT_EQ(Viewers(form).front()->Model->rowCount(), 3);

  form.OpenCommandLine({"Pelsok", QString::fromStdString(archive)});
  ASSERT_EQ(Viewers(form).size(), 2);
  EXPECT_EQ(Viewers(form).back()->ArchiveName(), archive);
  EXPECT_EQ(Viewers(form).back()->Model->rowCount(), 3);
  // The main window stays usable beside them.
  EXPECT_FALSE(Viewers(form).back()->isModal());
  EXPECT_TRUE(form.Button1->isEnabled());
}

TEST_F(ArchiveViewerTest, TheShiftJisItemIsStoredAtOnce) {
  pelsok::ui::TForm1 form(apptest::FixedDate(2026, 12, 8));
  EXPECT_FALSE(form.ShiftJis1->isChecked());
  form.ShiftJis1->trigger();
  EXPECT_TRUE(pelsok::app::LoadShiftJisNames());
  pelsok::ui::TForm1 again(apptest::FixedDate(2026, 12, 8));
  EXPECT_TRUE(again.ShiftJis1->isChecked());
}

TEST_F(ArchiveViewerTest, AfterAContinuousRunTheResultListTellsEachKind) {
  pelsok::ui::TForm1 form(apptest::FixedDate(2026, 12, 8));
  form.Edit1->setText(QString::fromStdString(Folder()));
  form.SetKinds({"DR", "NA", "TR"});
  MakeLogs(Folder(), "DR11", 2);
  MakeLogs(Folder(), "TR11", 2);
  dir.Folder("TR2611.LZH");  // a folder where TR's archive must go: TR fails
  EXPECT_TRUE(form.ResultsBtn->isHidden());
  auto failure = apptest::AcceptNextMessage();
  form.Button3->click();
  ASSERT_TRUE(apptest::SpinUntil([&] { return !form.Running(); }));
  ASSERT_TRUE(apptest::SpinUntil([&] { return failure->shown; }));
  EXPECT_FALSE(form.ResultsBtn->isHidden());
  form.ResultsBtn->click();
  pelsok::ui::TResultList* list = form.ResultList();
  ASSERT_NE(list, nullptr);
  const auto& rows = list->Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].Kind, "DR");
  EXPECT_EQ(rows[0].Outcome, "圧縮しました");
  EXPECT_EQ(rows[0].Archive, "DR2611.LZH");
  EXPECT_EQ(rows[0].Packed, "2");
  EXPECT_EQ(rows[1].Outcome, "ログなし");
  EXPECT_EQ(rows[2].Outcome, "失敗");
  EXPECT_NE(rows[2].Why.find("TR2611.LZH"), std::string::npos) << rows[2].Why;
  EXPECT_TRUE(rows[2].Archive.empty());
  // From the list the archive opens in the viewer.
  list->List->setCurrentItem(list->List->topLevelItem(0));
  list->OpenBtn->click();
  ASSERT_EQ(Viewers(form).size(), 1);
  EXPECT_EQ(Viewers(form).front()->Model->rowCount(), 2);
  list->List->setCurrentItem(list->List->topLevelItem(2));
  EXPECT_FALSE(list->OpenBtn->isEnabled());
}

// A month whose manifest holds, one whose archive changed and one with no
// manifest, each told in the viewer's status line and the 検証 column.
TEST_F(ArchiveViewerTest, TheViewerAndTheResultListTellWhetherTheManifestVerifies) {
  const apptest::TChainedMonths months = apptest::PackTwoMonths(logFolder);
  std::string changed = testing_support::ReadFile(months.October);
  changed[changed.size() / 2] ^= 0x01;
  testing_support::WriteFile(months.October, changed);
  const std::string bare = logFolder + "DD2611.LZH";
  std::filesystem::copy_file(months.November, bare);
  const std::vector<std::pair<std::string, QString>> expected = {
      {months.November, QStringLiteral("一致")},
      {months.October, QStringLiteral("不一致")},
      {bare, QStringLiteral("なし")}};
  for (const auto& [archive, word] : expected) {
    SCOPED_TRACE(archive);
    TArchiveViewer* v = Viewer(archive);
    EXPECT_TRUE(v->ManifestState->text().contains(QStringLiteral("確認中")));
    ASSERT_TRUE(apptest::SpinUntil([&] { return !v->Verifying(); }));
    EXPECT_TRUE(v->ManifestState->text().startsWith(QStringLiteral("マニフェスト: ") + word))
        << v->ManifestState->text().toStdString();
  }
  using TOutcome = pelsok::app::TContinuousKind::TOutcome;
  std::vector<pelsok::app::TContinuousKind> kinds = {{"DR", TOutcome::Packed, 3, 0},
                                                     {"DR", TOutcome::Packed, 3, 0},
                                                     {"DD", TOutcome::Packed, 3, 0},
                                                     {"NA", TOutcome::NoLogs}};
  for (std::size_t i = 0; i < expected.size(); ++i) kinds[i].Archive = expected[i].first;
  pelsok::ui::TResultList list([](const std::string&) {});
  list.SetRows(pelsok::app::ResultRows(kinds));
  ASSERT_TRUE(apptest::SpinUntil([&] { return !list.Verifying(); }));
  const int verifyColumn = 3;
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(list.List->topLevelItem(static_cast<int>(i))->text(verifyColumn), expected[i].second);
  EXPECT_EQ(list.List->topLevelItem(3)->text(verifyColumn), QString());
  list.List->setCurrentItem(list.List->topLevelItem(1));
  EXPECT_TRUE(list.Details->toPlainText().contains(
      QStringLiteral("DR2610.LZH' がマニフェストの記録と違います")))
      << list.Details->toPlainText().toStdString();
}

}  // namespace
