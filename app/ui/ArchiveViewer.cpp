#include "app/ui/ArchiveViewer.h"

#include <stdlib.h>

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <filesystem>
#include <set>

#include "app/run/ViewerAdvice.h"
#include "app/ui/Application.h"
#include "app/ui/BrowseDialog.h"
#include "app/ui/Fonts.h"
#include "app/ui/ListingFilter.h"
#include "app/ui/ListingModel.h"
#include "app/ui/ListingTable.h"
#include "app/ui/RunProgress.h"
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
  column->addWidget(Table, 1);

  Progress = new TRunProgress(central);
  Progress->hide();
  column->addWidget(Progress);
  connect(Progress->CancelBtn, &QPushButton::clicked, this, [this] { CancelTask(); });
  setCentralWidget(central);

  StatusLine = new TStatusLine(this);
  StatusLine->setObjectName("ViewerStatusLine");
  statusBar()->addWidget(StatusLine, 1);

  BuildActions();
  connect(FilterEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
    Filter->SetPattern(text);
    ShowTotals();
  });
}

TArchiveViewer::~TArchiveViewer() {
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
  Actions->addSeparator();
  // The field row: the filter, then the search field once member reading is there.
  auto* fields = new QWidget(Actions);
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
  Actions->addWidget(fields);

  auto guarded = [this](auto fn) {
    return [this, fn] { TApplication::Guarded([&] { fn(); }, this); };
  };
  connect(ExtractAction, &QAction::triggered, this, guarded([this] { ExtractClicked(false); }));
  connect(ExtractAllAction, &QAction::triggered, this, guarded([this] { ExtractClicked(true); }));
  connect(TestAction, &QAction::triggered, this, guarded([this] { StartTest(); }));
}

bool TArchiveViewer::Open(const std::string& archiveName) {
  archiveName_ = platform::ExpandFileName(archiveName);
  setWindowTitle(Q(platform::ExtractFileName(archiveName_)) + QStringLiteral(" - 書庫ビューア"));
  ErrorLine->hide();
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
    return false;
  }
  SetBusy(false);
  ShowTotals();
  return true;
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
