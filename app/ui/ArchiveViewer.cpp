#include "app/ui/ArchiveViewer.h"

#include <stdlib.h>

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <filesystem>
#include <memory>
#include <set>

#include "app/run/ViewerAdvice.h"
#include "app/ui/Application.h"
#include "app/ui/BrowseDialog.h"
#include "app/ui/Fonts.h"
#include "app/ui/ListingFilter.h"
#include "app/ui/ListingModel.h"
#include "app/ui/ListingTable.h"
#include "app/ui/MemberView.h"
#include "app/ui/RunProgress.h"
#include "app/ui/SearchResults.h"
#include "app/ui/StatusLine.h"
#include "app/ui/TaskWorker.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/StoredName.h"

namespace pelsok::ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TArchiveViewer::TArchiveViewer(QWidget* parent) : QMainWindow(parent, Qt::Window) {
  setObjectName("ArchiveViewer");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("書庫ビューア - ペルソク"));
  setFont(PelsokFont(12));
  resize(760, 440);

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(4, 4, 4, 0);
  column->setSpacing(4);
  ErrorLine = new QLabel(central);
  ErrorLine->setObjectName("ErrorLine");
  ErrorLine->setWordWrap(true);
  ErrorLine->setTextFormat(Qt::PlainText);
  ErrorLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
  ErrorLine->setStyleSheet(QStringLiteral(
      "QLabel#ErrorLine { background: #fdecea; color: #611a15; border: 1px solid #e0a39c;"
      " padding: 6px; }"));
  ErrorLine->hide();
  column->addWidget(ErrorLine);

  Model = new TListingModel(this);
  Filter = new TListingFilter(this);
  Filter->setSourceModel(Model);
  Table = new TListingTable(central);
  Table->setModel(Filter);
  Table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  Table->setSortingEnabled(true);
  Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 6);
  QHeaderView* header = Table->horizontalHeader();
  header->setSectionResizeMode(TListingModel::kName, QHeaderView::Stretch);
  for (int c = TListingModel::kSize; c < TListingModel::kColumns; ++c)
    header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
  Table->SetDragExtract(
      [this](const std::vector<std::string>& names) { return ExtractForDrag(names); });
  Results = new TSearchResults(central);
  Results->hide();
  connect(Results, &TSearchResults::ContextAsked, this,
          [this](int row) { TApplication::Guarded([&] { ShowContext(row); }, this); });
  auto* split = new QSplitter(Qt::Vertical, central);
  split->setChildrenCollapsible(false);
  split->addWidget(Table);
  split->addWidget(Results);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 1);
  column->addWidget(split, 1);

  Progress = new TRunProgress(central);
  Progress->hide();
  column->addWidget(Progress);
  connect(Progress->CancelBtn, &QPushButton::clicked, this, [this] { CancelTask(); });
  setCentralWidget(central);

  StatusLine = new TStatusLine(this);
  StatusLine->setObjectName("ViewerStatusLine");
  statusBar()->addWidget(StatusLine, 1);
  ManifestState = new QLabel(this);
  ManifestState->setObjectName("ManifestState");
  statusBar()->addPermanentWidget(ManifestState);
  ManifestState->hide();

  BuildActions();
  connect(FilterEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
    Filter->SetPattern(text);
    ShowTotals();
  });
}

TArchiveViewer::~TArchiveViewer() {
  StopVerify();
  if (worker_ != nullptr) {
    worker_->Cancel();
    worker_->Wait();
  }
  if (!dragFolder_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(dragFolder_, ec);
  }
}

void TArchiveViewer::BuildActions() {
  Actions = addToolBar(QStringLiteral("操作"));
  Actions->setObjectName("ViewerActions");
  Actions->setMovable(false);
  Actions->setToolButtonStyle(Qt::ToolButtonTextOnly);
  ExtractAction = Actions->addAction(QStringLiteral("展開(&E)…"));
  ExtractAction->setToolTip(
      QStringLiteral("選んだファイルを展開します (選んでいないときはすべて)"));
  ExtractAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  ExtractAllAction = Actions->addAction(QStringLiteral("すべて展開(&A)…"));
  TestAction = Actions->addAction(QStringLiteral("テスト(&T)"));
  TestAction->setToolTip(QStringLiteral("書庫のファイルがすべて正しく取り出せるか確かめます"));
  Actions->addSeparator();
  WithFolders = Actions->addAction(QStringLiteral("フォルダ付きで展開(&P)"));
  WithFolders->setCheckable(true);
  WithFolders->setChecked(true);
  WithFolders->setToolTip(
      QStringLiteral("名前に格納されたフォルダ (var/log/app/ など) を作って展開します。"
                     "外すとファイルだけを選んだフォルダに展開します。"));
  // The fields get a line of their own: beside the buttons they would not fit.
  addToolBarBreak();
  auto* fieldBar = addToolBar(QStringLiteral("絞り込みと検索"));
  fieldBar->setObjectName("ViewerFields");
  fieldBar->setMovable(false);
  fieldBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  // The field row: the filter of the entries, then the search in the members.
  auto* fields = new QWidget(fieldBar);
  auto* row = new QHBoxLayout(fields);
  row->setContentsMargins(4, 0, 4, 0);
  auto* label = new QLabel(QStringLiteral("絞り込み(&F):"), fields);
  FilterEdit = new QLineEdit(fields);
  FilterEdit->setObjectName("FilterEdit");
  FilterEdit->setPlaceholderText(QStringLiteral("名前の一部、または *.log"));
  FilterEdit->setClearButtonEnabled(true);
  FilterEdit->setMinimumWidth(180);
  label->setBuddy(FilterEdit);
  row->addWidget(label);
  row->addWidget(FilterEdit, 1);
  row->addSpacing(12);
  auto* searchLabel = new QLabel(QStringLiteral("検索(&S):"), fields);
  SearchEdit = new QLineEdit(fields);
  SearchEdit->setObjectName("SearchEdit");
  SearchEdit->setPlaceholderText(QStringLiteral("ファイルの中の文字列 (Enter で検索)"));
  SearchEdit->setToolTip(
      QStringLiteral("書庫のファイルの中から、この文字列を含む行を探します。"
                     "「正規表現」に印を付けると、grep -E と同じ正規表現で探します。"));
  SearchEdit->setClearButtonEnabled(true);
  SearchEdit->setMinimumWidth(180);
  searchLabel->setBuddy(SearchEdit);
  RegexBox = new QCheckBox(QStringLiteral("正規表現(&R)"), fields);
  RegexBox->setToolTip(
      QStringLiteral("印を付けると検索の文字列を正規表現 (例: ERROR|WARN, ^2026-03-0[1-9]) "
                     "として読みます。外すと文字列そのものを探します。"));
  row->addWidget(searchLabel);
  row->addWidget(SearchEdit, 1);
  row->addWidget(RegexBox);
  fieldBar->addWidget(fields);
  SearchAction = fieldBar->addAction(QStringLiteral("検索"));
  SearchAction->setToolTip(QStringLiteral("書庫のファイルの中を検索します"));

  auto guarded = [this](auto fn) {
    return [this, fn] { TApplication::Guarded([&] { fn(); }, this); };
  };
  connect(ExtractAction, &QAction::triggered, this, guarded([this] { ExtractClicked(false); }));
  connect(ExtractAllAction, &QAction::triggered, this, guarded([this] { ExtractClicked(true); }));
  connect(TestAction, &QAction::triggered, this, guarded([this] { StartTest(); }));
  connect(SearchAction, &QAction::triggered, this, guarded([this] { StartSearch(); }));
  connect(SearchEdit, &QLineEdit::returnPressed, this, guarded([this] { StartSearch(); }));
}

bool TArchiveViewer::Open(const std::string& archiveName) {
  archiveName_ = platform::ExpandFileName(archiveName);
  setWindowTitle(Q(platform::ExtractFileName(archiveName_)) + QStringLiteral(" - 書庫ビューア"));
  ErrorLine->hide();
  // Results of another archive go.
  Results->SetHits({});
  Results->hide();
  try {
    Model->SetListing(app::ReadArchiveListing(archiveName_));
  } catch (const std::exception& e) {
    app::TArchiveListing empty;
    empty.ArchiveName = archiveName_;
    Model->SetListing(empty);
    ShowError(e.what(), app::ViewerAdvice(e.what()), false);
    SetBusy(false);
    StatusLine->Show(
        QStringLiteral("%1 を読めませんでした。").arg(Q(platform::ExtractFileName(archiveName_))));
    StartVerify();
    return false;
  }
  SetBusy(false);
  ShowTotals();
  StartVerify();
  return true;
}

void TArchiveViewer::StartVerify() {
  StopVerify();
  lastVerify_.reset();
  ManifestState->setText(QStringLiteral("マニフェスト: 確認中…"));
  ManifestState->setToolTip(
      QStringLiteral("書庫をそばのマニフェスト (書庫.sha256) と照合しています。"));
  ManifestState->setStyleSheet({});
  ManifestState->show();
  // The thread writes only its own result; the viewer reads it once the thread ended.
  auto result = std::make_shared<app::TVerifyResult>();
  verifyWorker_ =
      new TTaskWorker([result, name = archiveName_] { *result = app::VerifyArchive(name); }, this);
  connect(verifyWorker_, &TTaskWorker::Finished, this, [this, result] {
    TTaskWorker* worker = verifyWorker_;
    worker->Wait();
    verifyWorker_ = nullptr;
    worker->deleteLater();
    lastVerify_ = *result;
    ShowVerify();
    emit ManifestChecked();
  });
  verifyWorker_->Start();
}

void TArchiveViewer::StopVerify() {
  if (verifyWorker_ == nullptr) return;
  verifyWorker_->Cancel();
  delete verifyWorker_;  // waits for its thread
  verifyWorker_ = nullptr;
}

void TArchiveViewer::ShowVerify() {
  const app::TVerifyResult& r = *lastVerify_;
  QString text = QStringLiteral("マニフェスト: ") + Q(app::VerdictWord(r.Verdict));
  QString style;
  if (r.Verdict == app::TVerifyVerdict::Differs) {
    text += QStringLiteral(" (%1 件)").arg(app::VerifyFailures(r));
    style = QStringLiteral("QLabel { color: #b02020; font-weight: bold; }");
  } else if (r.Verdict == app::TVerifyVerdict::Matches) {
    style = QStringLiteral("QLabel { color: #1b6e20; }");
  }
  QString tip = Q(app::VerifySummary(r));
  for (const auto& f : r.Findings)
    tip += QStringLiteral("\n") +
           (app::IsVerifyFailure(f.Kind) ? QString() : QStringLiteral("(情報) ")) + Q(f.Message);
  ManifestState->setText(text);
  ManifestState->setStyleSheet(style);
  ManifestState->setToolTip(tip);
}

void TArchiveViewer::ShowTotals() {
  QString text = Q(app::ListingTotals(Model->Listing()));
  if (!Filter->Pattern().isEmpty())
    text += QStringLiteral("  表示: %1 / %2").arg(Filter->rowCount()).arg(Model->rowCount());
  StatusLine->Show(text);
}

void TArchiveViewer::ShowError(const std::string& why, const std::string& whatToDo, bool box) {
  ErrorLine->setText(Q(why) + (whatToDo.empty() ? QString() : QStringLiteral("\n") + Q(whatToDo)));
  ErrorLine->show();
  if (!box) return;
  QMessageBox message(QMessageBox::Warning, Q(TApplication::Title()), Q(why), QMessageBox::Ok,
                      this);
  message.setInformativeText(Q(whatToDo));
  message.exec();
}

void TArchiveViewer::SetBusy(bool busy) {
  const bool listed = Model->rowCount() > 0;
  ExtractAction->setEnabled(!busy && listed);
  ExtractAllAction->setEnabled(!busy && listed);
  TestAction->setEnabled(!busy && listed);
  SearchAction->setEnabled(!busy && listed);
  Progress->setVisible(busy);
}

std::optional<std::string> TArchiveViewer::ChooseFolder() {
  // The browse dialog makes each folder it opens the current one, which the
  // main window's 6-digit mode packs in: the current folder comes back.
  const std::string cwd = platform::GetCurrentDir();
  std::optional<std::string> chosen;
  const std::string start =
      lastFolder_.empty() ? platform::ExtractFilePath(archiveName_) : lastFolder_;
  TOKBottomDlg dialog([&chosen](const std::string& folder) { chosen = folder; }, this, start);
  dialog.setWindowTitle(QStringLiteral("展開先のフォルダ"));
  dialog.exec();
  platform::SetCurrentDir(cwd);
  return chosen;
}

void TArchiveViewer::ExtractClicked(bool all) {
  if (Busy()) return;
  const std::vector<std::string> names = all ? std::vector<std::string>() : Table->SelectedNames();
  const std::optional<std::string> folder = ChooseFolder();
  if (!folder) return;
  StartExtract(names, *folder);
}

void TArchiveViewer::StartExtract(const std::vector<std::string>& names,
                                  const std::string& folder) {
  if (Busy()) return;
  const std::string target = platform::IncludeTrailingPathDelimiter(folder);
  if (const std::string problem = app::FolderProblem(target); !problem.empty()) {
    ShowError(problem, app::ViewerAdvice(problem));
    return;
  }
  lastFolder_ = target;
  const app::TArchiveListing listing = Model->Listing();
  const app::TExtractRequest request{target, names, WithFolders->isChecked()};
  lastExtract_.reset();
  RunTask(
      QStringLiteral("%1 に展開しています…").arg(Q(target)), QStringLiteral("展開: "),
      [this, listing, request] { lastExtract_ = app::ExtractMembers(listing, request); },
      [this, target] {
        const app::TExtractOutcome& o = *lastExtract_;
        lastSummary_ = app::ExtractSummary(o, target);
        const bool clean = o.Result == 0 && o.Refused.empty() && o.NotExtracted.empty();
        QMessageBox box(clean ? QMessageBox::Information : QMessageBox::Warning,
                        Q(TApplication::Title()), Q(lastSummary_), QMessageBox::Ok, this);
        if (!o.Refused.empty())
          box.setInformativeText(QStringLiteral(
              "フォルダの外を指す名前は、選んだフォルダの外に書かないよう展開しませんでした。"));
        if (!o.Report.empty()) box.setDetailedText(Q(o.Report));
        box.exec();
      });
}

void TArchiveViewer::StartTest() {
  if (Busy()) return;
  const app::TArchiveListing listing = Model->Listing();
  lastTest_.reset();
  RunTask(
      QStringLiteral("%1 をテストしています…").arg(Q(platform::ExtractFileName(archiveName_))),
      QStringLiteral("テスト: "), [this, listing] { lastTest_ = app::TestMembers(listing); },
      [this, listing] {
        const app::TTestOutcome& o = *lastTest_;
        lastSummary_ = app::TestSummary(listing, o);
        if (o.Result != 0 && !o.Cancelled) {
          ErrorLine->setText(Q(lastSummary_));
          ErrorLine->show();
        }
        QMessageBox box(
            o.Result == 0 || o.Cancelled ? QMessageBox::Information : QMessageBox::Warning,
            Q(TApplication::Title()), Q(lastSummary_), QMessageBox::Ok, this);
        if (!o.Report.empty()) box.setDetailedText(Q(o.Report));
        box.exec();
      });
}

void TArchiveViewer::StartSearch() {
  if (Busy() || Model->rowCount() == 0) return;
  const app::TSearchRequest request{SearchEdit->text().toStdString(), RegexBox->isChecked(), false};
  if (request.Pattern.empty()) {
    StatusLine->Show(QStringLiteral("検索する文字列を入力してください。"));
    SearchEdit->setFocus();
    return;
  }
  try {
    // A bad expression is told now, with what to do, before any reading.
    app::CheckSearchPattern(request);
  } catch (const std::invalid_argument& e) {
    ShowError(std::string("正規表現として読めません: ") + e.what(),
              "式を直すか、「正規表現」の印を外して文字列そのものを探してください。");
    return;
  }
  const std::string archive = archiveName_;
  lastSearch_.reset();
  RunTask(
      QStringLiteral("%1 を検索しています…").arg(Q(platform::ExtractFileName(archiveName_))),
      QStringLiteral("検索: "),
      [this, archive, request] { lastSearch_ = app::SearchMembers(archive, request); },
      [this] {
        const app::TSearchOutcome& o = *lastSearch_;
        lastSummary_ = app::SearchSummary(o);
        Results->SetHits(o.Hits);
        Results->show();
        if (!o.Errors.empty()) {
          QString text;
          for (const auto& e : o.Errors) text += Q(e) + QStringLiteral("\n");
          ErrorLine->setText(text.trimmed());
          ErrorLine->show();
        }
        StatusLine->Show(Q(lastSummary_));
      });
}

void TArchiveViewer::ShowContext(int row) {
  if (Busy() || row < 0 || row >= Results->rowCount()) return;
  const app::TSearchHit hit = Results->Hit(row);
  const std::string archive = archiveName_;
  lastContext_.reset();
  RunTask(
      QStringLiteral("%1 の %2 行目を読んでいます…").arg(Q(hit.Member)).arg(hit.Line),
      QStringLiteral("読み出し: "),
      [this, archive, hit] {
        lastContext_ = app::ReadMemberContext(archive, hit.Member, hit.Line);
      },
      [this, hit] {
        lastSummary_ = lastContext_->Note;
        if (contextView_ != nullptr) contextView_->close();
        contextView_ = new TMemberView(*lastContext_, hit.Line, this);
        contextView_->setAttribute(Qt::WA_DeleteOnClose);
        contextView_->show();
      });
}

void TArchiveViewer::RunTask(const QString& text, const QString& phase, std::function<void()> task,
                             std::function<void()> done) {
  done_ = std::move(done);
  worker_ = new TTaskWorker(std::move(task), this);
  connect(worker_, &TTaskWorker::Progressed, Progress, &TRunProgress::Show);
  connect(worker_, &TTaskWorker::Finished, this, [this] {
    TTaskWorker* worker = worker_;
    worker->Wait();
    const std::optional<std::string> error = worker->Error();
    worker_ = nullptr;
    worker->deleteLater();
    SetBusy(false);
    if (error) {
      lastSummary_ = *error;
      ShowError(*error, app::ViewerAdvice(*error));
    } else {
      TApplication::Guarded(done_, this);
    }
    emit TaskEnded();
  });
  Progress->BeginTask(text, phase);
  SetBusy(true);
  worker_->Start();
}

void TArchiveViewer::CancelTask() {
  if (worker_ == nullptr) return;
  worker_->Cancel();
  Progress->Cancelling();
}

QList<QUrl> TArchiveViewer::ExtractForDrag(const std::vector<std::string>& names) {
  QList<QUrl> urls;
  if (Busy()) return urls;
  if (dragFolder_.empty()) {
    std::error_code ec;
    std::string folder = (std::filesystem::temp_directory_path(ec) / "pelsok-drag-XXXXXX").string();
    if (ec || ::mkdtemp(folder.data()) == nullptr) return urls;
    dragFolder_ = folder;
  }
  // Each drag gets a folder of its own, so files of an earlier drag are not offered again.
  std::string folder = dragFolder_ + "/XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) return urls;
  folder += "/";
  const bool withFolders = WithFolders->isChecked();
  try {
    const app::TExtractOutcome o =
        app::ExtractMembers(Model->Listing(), {folder, names, withFolders});
    // The top of what came out: a file, or the first folder its name stores.
    std::set<std::string> tops;
    for (const auto& name : o.Extracted) {
      const std::vector<std::string> parts = platform::StoredNameParts(name);
      if (parts.empty()) continue;
      const std::string top = withFolders ? parts.front() : parts.back();
      if (tops.insert(top).second) urls.push_back(QUrl::fromLocalFile(Q(folder + top)));
    }
  } catch (const std::exception& e) {
    ShowError(e.what(), app::ViewerAdvice(e.what()), false);
  }
  return urls;
}

void TArchiveViewer::closeEvent(QCloseEvent* event) {
  StopVerify();
  // Closing during a task cancels it: a cancelled extraction leaves no half-written file.
  if (worker_ != nullptr) {
    worker_->Cancel();
    worker_->Wait();
    delete worker_;
    worker_ = nullptr;
  }
  event->accept();
}

void TArchiveViewer::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && Busy()) {
    Progress->CancelBtn->click();
    event->accept();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

}  // namespace pelsok::ui
