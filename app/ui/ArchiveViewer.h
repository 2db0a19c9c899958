// The archive viewer: a resizable window of its own (the main window stays
// usable) with the entries of one archive in a table that sorts by every
// column, a filter field, the totals in the status line, and the actions
// 展開 (the selection, or all, into a folder chosen in the browse dialog,
// with or without the folders stored in the names), テスト and 検索 (the
// lines of the members that a search field matches, listed below the
// entries; a double-click shows one in context), each on a worker thread
// with the progress panel and its Cancel. Rows dragged out to a file
// manager are extracted there. The status line tells whether the archive's
// manifest (NAME.sha256) verifies, checked on a thread of its own when the
// archive opens.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/run/ArchiveListing.h"
#include "app/run/ArchiveSearch.h"
#include "app/run/ManifestVerify.h"
#include "app/run/MemberExtraction.h"
#include "app/run/MemberTest.h"
#include "app/ui/MemberView.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QToolBar;

namespace pelsok::ui {

class TListingFilter;
class TListingModel;
class TListingTable;
class TRunProgress;
class TSearchResults;
class TStatusLine;
class TTaskWorker;

class TArchiveViewer : public QMainWindow {
  Q_OBJECT
 public:
  explicit TArchiveViewer(QWidget* parent = nullptr);
  ~TArchiveViewer() override;

  // Reads the archive's listing; on an error the viewer says what is wrong
  // and what to do in its error line, and returns false.
  bool Open(const std::string& archiveName);
  const std::string& ArchiveName() const { return archiveName_; }

  TListingModel* Model;
  TListingFilter* Filter;
  TListingTable* Table;
  QToolBar* Actions;
  QLineEdit* FilterEdit;
  QAction* ExtractAction;     // 展開: the selection (all when nothing is selected)
  QAction* ExtractAllAction;  // すべて展開
  QAction* TestAction;        // テスト
  QAction* WithFolders;       // フォルダ付きで展開: keep the folders the names store
  QLineEdit* SearchEdit;      // 検索: what to look for in the members
  QCheckBox* RegexBox;        // the search field holds a regular expression
  QAction* SearchAction;      // 検索
  TSearchResults* Results;    // hidden until a search has run
  QLabel* ErrorLine;          // what went wrong and what to do; hidden when nothing did
  TRunProgress* Progress;
  TStatusLine* StatusLine;
  // マニフェスト: 確認中… / 一致 / 不一致 / なし, the findings in its tool tip.
  QLabel* ManifestState;

  // A task (extraction, test) is going on.
  bool Busy() const { return worker_ != nullptr; }
  void CancelTask();
  // Extracts names (all when empty) into folder on the worker thread.
  void StartExtract(const std::vector<std::string>& names, const std::string& folder);
  void StartTest();
  // Searches the members for the search field's text.
  void StartSearch();
  // Reads the lines around a result row and shows them in a member view.
  void ShowContext(int row);
  // The outcome of the last task, and the closing text shown for it.
  const std::optional<app::TExtractOutcome>& LastExtract() const { return lastExtract_; }
  const std::optional<app::TTestOutcome>& LastTest() const { return lastTest_; }
  const std::optional<app::TSearchOutcome>& LastSearch() const { return lastSearch_; }
  // The member view the last ShowContext opened (null before).
  TMemberView* LastContextView() const { return contextView_; }
  const std::string& LastSummary() const { return lastSummary_; }
  // The manifest check of the open archive; empty while it runs.
  const std::optional<app::TVerifyResult>& LastVerify() const { return lastVerify_; }
  bool Verifying() const { return verifyWorker_ != nullptr; }
  // Shows an error with what to do, in the error line and a message box.
  void ShowError(const std::string& why, const std::string& whatToDo, bool box = true);

 signals:
  // A task ended and its closing message was shown.
  void TaskEnded();
  // The manifest check ended and its state was shown.
  void ManifestChecked();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildActions();
  void ExtractClicked(bool all);
  std::optional<std::string> ChooseFolder();
  // text tells what the task does until the library's first progress; phase
  // goes before each member's name after it.
  void RunTask(const QString& text, const QString& phase, std::function<void()> task,
               std::function<void()> done);
  void SetBusy(bool busy);
  void ShowTotals();
  void StartVerify();
  void StopVerify();
  void ShowVerify();
  QList<QUrl> ExtractForDrag(const std::vector<std::string>& names);

  std::string archiveName_;
  std::string lastFolder_;
  TTaskWorker* worker_ = nullptr;
  std::function<void()> done_;
  std::optional<app::TExtractOutcome> lastExtract_;
  std::optional<app::TTestOutcome> lastTest_;
  std::optional<app::TSearchOutcome> lastSearch_;
  std::optional<app::TMemberContext> lastContext_;
  // Cleared by Qt when the view closes (it deletes itself then).
  QPointer<TMemberView> contextView_;
  std::string lastSummary_;
  TTaskWorker* verifyWorker_ = nullptr;
  std::optional<app::TVerifyResult> lastVerify_;
  // Where dragged rows were extracted; goes with the viewer.
  std::string dragFolder_;
};

}  // namespace pelsok::ui
