#include "app/ui/MainForm.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdint>

#include "app/run/ContinuousRun.h"
#include "app/run/ContinuousSummary.h"
#include "app/run/ResultRows.h"
#include "app/run/RunCheck.h"
#include "app/run/RunSummary.h"
#include "app/settings/ArchiveFormat.h"
#include "app/settings/DataSave.h"
#include "app/settings/DateDefaults.h"
#include "app/settings/DefaultKinds.h"
#include "app/settings/HelpFiles.h"
#include "app/settings/ShiftJisNames.h"
#include "app/text/FolderText.h"
#include "app/ui/AboutBox.h"
#include "app/ui/Application.h"
#include "app/ui/ArchiveViewer.h"
#include "app/ui/BrowseDialog.h"
#include "app/ui/ConfirmDialog.h"
#include "app/ui/EnterKey.h"
#include "app/ui/Fonts.h"
#include "app/ui/FormPlacement.h"
#include "app/ui/FrameHints.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/ResultList.h"
#include "app/ui/RunProgress.h"
#include "app/ui/RunWorker.h"
#include "app/ui/SpinEdit.h"
#include "app/ui/StatusLine.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace pelsok::ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The path label names the platform's delimiter where the original names "\".
QString PathLabelText() {
  return QStringLiteral("パス(最後に必ず %1 をつけること)").arg(QChar(platform::kPathDelim));
}

}  // namespace

TForm1::TForm1(std::function<platform::TDateTime()> today, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      today_(std::move(today)) {
  setObjectName("Form1");
  setWindowTitle(QStringLiteral("ペルソク"));
  setFont(PelsokFont(16));
  BuildControls();
  BuildMenu();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  // The fixed size is settled now, not at the first show: settling it then
  // resizes the window in a way that makes the later show take the position
  // for the client area's rather than the frame's, and the window would open
  // one title bar higher than it was stored.
  layout()->activate();
  move(202, 113);

  placement_ = std::make_unique<TFormPlacement>(*this, "Form1");
  winPlace_ = std::make_unique<winplace::TWinPlace>(*placement_, "WinPlace1");
  winplace::TWinPlace::SetKeyName(app::kSettingsKey);

  TApplication::Guarded([this] { FormCreate(); }, this);

  confirm_ = new TOKBottomDlg1([this](const std::string& answer) { Edit3 = answer; }, this);

  // The keyboard user sees where the focus is from the start.
  setAttribute(Qt::WA_KeyboardFocusChange);
  Button1->setFocus();
}

TForm1::~TForm1() {
  if (worker_ != nullptr) {
    worker_->Cancel();
    worker_->Wait();
  }
}

template <typename Sender, typename Signal>
void TForm1::Handle(Sender* sender, Signal signal, void (TForm1::*handler)()) {
  connect(sender, signal, this,
          [this, handler] { TApplication::Guarded([&] { (this->*handler)(); }, this); });
}

void TForm1::BuildControls() {
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* client = new QWidget(central);
  ClientArea = client;
  client->setFixedSize(306, 149);
  column->addWidget(client);
  Progress = new TRunProgress(central);
  Progress->setFixedWidth(306);
  Progress->hide();
  column->addWidget(Progress);
  setCentralWidget(central);
  StatusLine = new TStatusLine(this);
  StatusLine->setObjectName("StatusLine");
  StatusLine->setFont(PelsokFont(12));
  FormatLabel = new QLabel(this);
  FormatLabel->setObjectName("FormatLabel");
  FormatLabel->setFont(PelsokFont(12));
  statusBar()->setSizeGripEnabled(false);
  statusBar()->addWidget(StatusLine, 1);
  ResultsBtn = new QToolButton(this);
  ResultsBtn->setObjectName("ResultsBtn");
  ResultsBtn->setText(QStringLiteral("結果一覧(&I)"));
  ResultsBtn->setToolTip(QStringLiteral("前回の実行の結果を種類ごとに一覧にします"));
  ResultsBtn->setFont(PelsokFont(12));
  ResultsBtn->setAutoRaise(true);
  ResultsBtn->hide();
  statusBar()->addPermanentWidget(ResultsBtn);
  statusBar()->addPermanentWidget(FormatLabel);
  setAcceptDrops(true);

  // Created row by row from the left, as they stand: the creation order is
  // the tab order.
  Button1 = new QPushButton(QStringLiteral("圧縮(&C)"), client);
  Button1->setGeometry(11, 5, 75, 25);
  Combo = new QComboBox(client);
  Combo->setEditable(true);
  Combo->setInsertPolicy(QComboBox::NoInsert);
  Combo->setGeometry(112, 5, 57, 24);
  Combo->setEditText(QStringLiteral("DR"));
  Button4 = new QPushButton(QStringLiteral("種類追加(&K)"), client);
  Button4->setGeometry(208, 7, 96, 25);
  Button3 = new QPushButton(QStringLiteral("連続圧縮(&R)"), client);
  Button3->setGeometry(11, 31, 97, 26);
  Spin2 = new TSpinEdit(1, 9999, client);
  Spin2->setGeometry(112, 32, 57, 26);
  Spin2->setText(QStringLiteral("1"));
  Button5 = new QPushButton(QStringLiteral("種類削除(&L)"), client);
  Button5->setGeometry(208, 32, 96, 25);
  Check = new QCheckBox(QStringLiteral("数字６桁用"), client);
  Check->setGeometry(13, 62, 97, 17);
  Spin = new TSpinEdit(1, 12, client);
  Spin->setGeometry(112, 64, 57, 26);
  Spin->setText(QStringLiteral("1"));
  Check2 = new QCheckBox(QStringLiteral("圧縮後削除"), client);
  Check2->setGeometry(197, 62, 108, 17);
  Edit1 = new QLineEdit(QStringLiteral("Logフォルダを指定してください。"), client);
  Edit1->setGeometry(6, 119, 235, 24);
  Button2 = new QPushButton(QStringLiteral("参照(&B)"), client);
  // Wider than the captions alone need: the access keys follow them.
  Button2->setGeometry(244, 119, 60, 25);

  auto label = [client](const QString& text, int x, int y) {
    auto* l = new QLabel(text, client);
    l->move(x, y);
    l->adjustSize();
    return l;
  };
  label(QStringLiteral("種類"), 172, 9);
  label(QStringLiteral("年"), 172, 37);
  label(QStringLiteral("月"), 172, 69);
  PathLabel = label(PathLabelText(), 4, 97);

  for (QPushButton* b : {Button1, Button2, Button3, Button4, Button5}) ClickOnEnter(b);
  ClickOnEnter(Progress->CancelBtn);
  connect(Progress->CancelBtn, &QPushButton::clicked, this, [this] { CancelRun(); });
  connect(ResultsBtn, &QToolButton::clicked, this,
          [this] { TApplication::Guarded([this] { Results1Click(); }, this); });

  Handle(Button1, &QPushButton::clicked, &TForm1::Button1Click);
  Handle(Button2, &QPushButton::clicked, &TForm1::Button2Click);
  Handle(Button3, &QPushButton::clicked, &TForm1::Button3Click);
  Handle(Button4, &QPushButton::clicked, &TForm1::Button4Click);
  Handle(Button5, &QPushButton::clicked, &TForm1::Button5Click);
  connect(Combo, &QComboBox::activated, this, [this](int index) { selectedKind_ = index; });
  connect(Check, &QCheckBox::toggled, this, [this] { ShowSixDigitFolder(); });
}

void TForm1::BuildMenu() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
  OpenArchive1 = file->addAction(QStringLiteral("書庫を開く(&O)…"));
  OpenArchive1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  Results1 = file->addAction(QStringLiteral("実行結果の一覧(&L)…"));
  Results1->setEnabled(false);
  file->addSeparator();
  Exit1 = file->addAction(QStringLiteral("終了(&X)"));
  QMenu* options = bar->addMenu(QStringLiteral("ｵﾌﾟｼｮﾝ(&O)"));
  A1 = options->addAction(QStringLiteral("種類追加(&A)"));
  D1 = options->addAction(QStringLiteral("種類削除(&D)"));
  // The archive format, one item per format that can be written; stored at once.
  options->addSeparator();
  QMenu* formats = options->addMenu(QStringLiteral("書庫の形式(&F)"));
  // LZH and ZIP runs store the names as Shift-JIS for Windows users; stored at once.
  ShiftJis1 = options->addAction(QStringLiteral("Shift-JIS の名前で格納(&J)"));
  ShiftJis1->setCheckable(true);
  ShiftJis1->setChecked(app::LoadShiftJisNames());
  ShiftJis1->setToolTip(QStringLiteral(
      "LZH と ZIP の書庫に、Windows の圧縮ソフトで読める Shift-JIS (cp932) の名前で格納します"));
  connect(ShiftJis1, &QAction::toggled, this,
          [this](bool on) { TApplication::Guarded([on] { app::SaveShiftJisNames(on); }, this); });
  auto* group = new QActionGroup(formats);
  const std::string chosen = app::LoadArchiveFormat().Name;
  for (const app::TArchiveFormat& f : app::ArchiveFormats()) {
    QAction* a = formats->addAction(QString::fromUtf8(f.MenuText));
    a->setData(QString::fromLatin1(f.Name));
    a->setCheckable(true);
    a->setChecked(chosen == f.Name);
    group->addAction(a);
    connect(a, &QAction::triggered, this, [this, f] {
      TApplication::Guarded([&] { app::SaveArchiveFormat(f); }, this);
      ShowFormat();
    });
  }
  QMenu* help = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
  Contents1 = help->addAction(QStringLiteral("目次(&C)"));
  SearchforHelpOn1 = help->addAction(QStringLiteral("ﾄﾋﾟｯｸの検索(&S)..."));
  HowtoUseHelp1 = help->addAction(QStringLiteral("ﾍﾙﾌﾟの使い方(&H)"));
  help->addSeparator();
  About1 = help->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)..."));

  Handle(OpenArchive1, &QAction::triggered, &TForm1::OpenArchive1Click);
  Handle(Results1, &QAction::triggered, &TForm1::Results1Click);
  Handle(Exit1, &QAction::triggered, &TForm1::Exit1Click);
  Handle(A1, &QAction::triggered, &TForm1::A1Click);
  Handle(D1, &QAction::triggered, &TForm1::D1Click);
  Handle(Contents1, &QAction::triggered, &TForm1::Contents1Click);
  Handle(SearchforHelpOn1, &QAction::triggered, &TForm1::SearchforHelpOn1Click);
  Handle(HowtoUseHelp1, &QAction::triggered, &TForm1::HowtoUseHelp1Click);
  Handle(About1, &QAction::triggered, &TForm1::About1Click);
}

std::vector<std::string> TForm1::Kinds() const {
  std::vector<std::string> kinds;
  for (int i = 0; i < Combo->count(); ++i) kinds.push_back(Combo->itemText(i).toStdString());
  return kinds;
}

void TForm1::SetKinds(const std::vector<std::string>& kinds) {
  const QString text = Combo->currentText();
  Combo->clear();
  for (const auto& k : kinds) Combo->addItem(Q(k));
  Combo->setEditText(text);
  selectedKind_ = -1;
}

void TForm1::SelectKind(int index) {
  Combo->setCurrentIndex(index);
  selectedKind_ = index;
}

std::string TForm1::KindText() const { return Combo->currentText().toStdString(); }
void TForm1::SetKindText(const std::string& text) { Combo->setEditText(Q(text)); }

void TForm1::FormCreate() {
  SetKinds(app::DefaultKinds());
  const app::TMonthYearText when = app::PreviousMonthText(today_());
  Spin->setText(Q(when.Month));
  Spin2->setText(Q(when.Year));

  app::TSettingsFields fields{Edit1->text().toStdString(), Edit3, Kinds()};
  app::TDataSave::LoadSettings(fields);
  // No folder stored: the field shows its prompt.
  Edit1->setText(fields.PathName.empty() ? QString::fromUtf8(app::kFolderPrompt)
                                         : Q(fields.PathName));
  Edit3 = fields.Keta;
  SetKinds(fields.Kinds);

  winPlace_->RestorePlacement();
  Check->setChecked(Edit3 == "Yes");
  ShowFormat();
}

void TForm1::ShowFormat() {
  FormatLabel->setText(QStringLiteral("形式: ") +
                       QString::fromLatin1(app::LoadArchiveFormat().Name).toUpper());
}

void TForm1::CompleteFolder() {
  const std::string folder = Edit1->text().toStdString();
  if (folder.empty() || folder == app::kFolderPrompt) return;
  const std::string complete = app::FolderWithDelimiter(folder);
  if (complete != folder) Edit1->setText(Q(complete));
}

void TForm1::ShowSixDigitFolder() {
  if (Running()) return;
  if (!Check->isChecked()) {
    if (StatusLine->text().startsWith(QStringLiteral("数字６桁用:"))) StatusLine->Clear();
    return;
  }
  StatusLine->Show(QStringLiteral("数字６桁用: カレントフォルダ %1 のログを圧縮します。")
                       .arg(Q(app::FolderWithDelimiter(platform::GetCurrentDir()))));
}

void TForm1::FormClose() {
  Edit3 = Check->isChecked() ? "Yes" : "No";
  // The prompt is not a folder: it is never stored as one.
  std::string folder = Edit1->text().toStdString();
  if (folder == app::kFolderPrompt) folder.clear();
  app::TDataSave::SaveSettings({folder, Edit3, Kinds()});
  winPlace_->SavePlacement();
}

void TForm1::Button1Click() {
  if (Running()) return;
  continuous_ = false;
  series_.clear();
  StartRun();
  if (!Running()) {
    OfferResults();
    emit Idle();
  }
}

bool TForm1::StartRun() {
  // The folder takes its trailing delimiter here, as on the command line.
  CompleteFolder();
  app::TRunInput in{Edit1->text().toStdString(), KindText(),
                    Spin2->text().toStdString(), app::MonthNumberText(Spin->text().toStdString()),
                    Check->isChecked(),          Check2->isChecked(),
                    app::LoadArchiveFormat()};
  in.ShiftJisNames = app::LoadShiftJisNames();
  // Raises the conversion error for a month that is not an integer.
  const app::TLogNames names =
      app::MakeLogNames(in.Folder, in.Kind, in.Year, in.Month, in.SixDigit, in.Format.Extension);
  if (auto problem = app::CheckRunInput(in, names)) {
    app::TContinuousKind k{in.Kind, app::TContinuousKind::TOutcome::Failed};
    k.Problem = problem->Why;
    if (problem->NoLogs) {
      k.Outcome = app::TContinuousKind::TOutcome::NoLogs;
      k.Problem.clear();
    }
    series_.push_back(k);
    if (continuous_ && problem->NoLogs) return false;
    pendingKinds_.clear();
    ShowProblem(problem->Why, problem->WhatToDo);
    return false;
  }
  LastRun = app::TRunResult{};
  // What the line said belongs to the run before.
  StatusLine->Clear();
  const std::string archive = names.ArchiveName;
  const std::string logFolder = platform::ExtractFilePath(names.Mask);
  worker_ = new TRunWorker(
      State, reinterpret_cast<ArcWnd>(static_cast<std::uintptr_t>(winId())), in,
      [this, archive, logFolder] {
        // The logs the deletion would remove: each entry's name in the
        // folder the mask searched.
        std::vector<std::string> logs;
        for (const auto& entry : State.ListBox1)
          logs.push_back(logFolder + platform::ExtractFileName(entry));
        confirm_->SetDetails(archive, logs);
        confirm_->exec();
        if (Edit3 != "Y") return false;
        Progress->Checking(Q(platform::ExtractFileName(archive)));
        return true;
      },
      this);
  connect(worker_, &TRunWorker::Progressed, Progress, &TRunProgress::Show);
  connect(worker_, &TRunWorker::Finished, this, &TForm1::RunFinished);
  Progress->Begin(Q(platform::ExtractFileName(archive)));
  SetRunning(true);
  worker_->Start();
  return true;
}

void TForm1::CancelRun() {
  pendingKinds_.clear();
  if (worker_ == nullptr) return;
  worker_->Cancel();
  Progress->Cancelling();
}

void TForm1::SetRunning(bool running) {
  Button1->setEnabled(!running);
  Button3->setEnabled(!running);
  Progress->setVisible(running);
  // Disabling the buttons moved the focus on to a neighbour (種類追加 after
  // 連続圧縮); every run gives it back to 圧縮, so Enter never does something else.
  if (!running) Button1->setFocus(Qt::OtherFocusReason);
}

void TForm1::ShowProblem(const std::string& why, const std::string& whatToDo, bool critical) {
  QMessageBox box(critical ? QMessageBox::Critical : QMessageBox::Warning, Q(TApplication::Title()),
                  Q(why), QMessageBox::Ok, this);
  box.setInformativeText(Q(whatToDo));
  box.exec();
}

void TForm1::RunFinished() {
  using TOutcome = app::TContinuousKind::TOutcome;
  TRunWorker* worker = worker_;
  worker->Wait();
  const std::optional<std::string> error = worker->Error();
  const bool cancelled = worker->CancelRequested();
  LastRun = worker->Result();
  worker_ = nullptr;
  worker->deleteLater();

  bool stop = false;
  if (error) {
    stop = true;
    Record(TOutcome::Failed, *error);
    pendingKinds_.clear();
    SetRunning(false);
    StatusLine->Clear();
    ShowProblem(*error, app::ErrorAdvice(*error), true);
  } else if (app::WasCancelled(LastRun) || (cancelled && !LastRun.NewArchiveKept)) {
    stop = true;
    Record(TOutcome::Cancelled);
    pendingKinds_.clear();
    SetRunning(false);
    StatusLine->Show(QStringLiteral("中止しました。書庫とログは元のままです。"));
  } else if (!LastRun.NewArchiveKept) {
    const app::TFailureText t = app::FailureText(LastRun, LastRun.PackReport);
    Record(TOutcome::Failed, t.Why);
    SetRunning(false);
    StatusLine->Clear();
    ShowProblem(t.Why, t.WhatToDo);
    stop = !continuous_;
  } else {
    Record(TOutcome::Packed);
    // A series tells its kinds together at its end (NextKind).
    if (!continuous_) {
      const auto size = platform::FileSize(LastRun.Names.ArchiveName);
      const std::string deletion = app::DeletionLine(LastRun);
      StatusLine->Show(Q(app::SuccessLine(LastRun, size.value_or(0)) +
                         (deletion.empty() ? std::string() : "  " + deletion)));
    }
    if (pendingKinds_.empty()) SetRunning(false);
    if (!LastRun.Deletion.Kept.empty())
      QMessageBox::warning(this, Q(TApplication::Title()), Q(LastRun.Deletion.KeptMessage()));
    if (!LastRun.OldArchiveKeptAs.empty())
      QMessageBox::warning(this, Q(TApplication::Title()),
                           Q(app::TCompressRun::OldArchiveKeptMessage(LastRun)));
  }
  // What the run put right or wants known (a killed run's leftovers repaired, ...).
  // Shown in the status line, its tool tip holding them all.
  if (!error) {
    for (const auto& n : LastRun.Notes) notes_.push_back(n);
    if (!continuous_ && !LastRun.Notes.empty()) {
      const QString line = StatusLine->text();
      StatusLine->Show((line.isEmpty() ? QString() : line + QStringLiteral("  ")) +
                           Q(LastRun.Notes.front()) +
                           (LastRun.Notes.size() > 1 ? QStringLiteral(" …") : QString()),
                       NotesText());
      notes_.clear();
    }
  }
  emit RunEnded();
  if (continuous_) {
    if (!stop) {
      NextKind();
      return;
    }
    EndSeries();
    return;
  }
  SetRunning(false);
  OfferResults();
  emit Idle();
}

void TForm1::Record(app::TContinuousKind::TOutcome outcome, const std::string& problem) {
  app::TContinuousKind k{continuous_ ? runningKind_ : KindText(), outcome};
  k.Problem = problem;
  if (outcome == app::TContinuousKind::TOutcome::Packed) {
    k.Files = LastRun.Entries.size();
    k.Deleted = LastRun.Deletion.Deleted.size();
    k.Archive = LastRun.Names.ArchiveName;
    k.Kept = LastRun.Deletion.Kept;
    for (const auto& line : app::OutcomeLines(LastRun))
      k.Problem += (k.Problem.empty() ? "" : "\n") + line;
  }
  series_.push_back(k);
}

void TForm1::OfferResults() {
  if (series_.empty()) return;
  Results1->setEnabled(true);
  ResultsBtn->show();
  if (results_ != nullptr) results_->SetRows(app::ResultRows(series_));
}

void TForm1::Results1Click() {
  if (series_.empty()) return;
  if (results_ == nullptr)
    results_ = new TResultList(
        [this](const std::string& archive) {
          TApplication::Guarded([&] { OpenArchive(archive); }, this);
        },
        this);
  results_->SetRows(app::ResultRows(series_));
  results_->show();
  results_->raise();
  results_->activateWindow();
}

TArchiveViewer* TForm1::OpenArchive(const std::string& archiveName) {
  auto* viewer = new TArchiveViewer(this);
  viewer->Open(archiveName);
  viewer->show();
  viewer->raise();
  viewer->activateWindow();
  return viewer;
}

void TForm1::OpenCommandLine(const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) OpenArchive(arguments[i].toStdString());
}

void TForm1::OpenArchive1Click() {
  // The dialog starts in the log folder (the field's), else the current folder.
  std::string start = Edit1->text().toStdString();
  if (start == app::kFolderPrompt || !platform::DirectoryExists(start))
    start = platform::GetCurrentDir();
  const QString name = QFileDialog::getOpenFileName(
      this, QStringLiteral("書庫を開く"), Q(start),
      QStringLiteral("書庫 (*.lzh *.lha *.zip *.tgz *.tar.gz *.tbz *.tar.bz2 *.tar *.cab *.arj "
                     "*.rar *.LZH *.LHA *.ZIP *.TGZ *.TBZ *.TAR *.CAB *.ARJ *.RAR);;"
                     "すべてのファイル (*)"));
  if (name.isEmpty()) return;
  OpenArchive(name.toStdString());
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) {
    for (const QUrl& url : event->mimeData()->urls()) {
      if (url.isLocalFile()) {
        event->acceptProposedAction();
        return;
      }
    }
  }
  QMainWindow::dragEnterEvent(event);
}

void TForm1::dropEvent(QDropEvent* event) {
  bool opened = false;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (!url.isLocalFile()) continue;
    opened = true;
    const std::string file = url.toLocalFile().toStdString();
    TApplication::Guarded([&] { OpenArchive(file); }, this);
  }
  if (opened) event->acceptProposedAction();
}

QString TForm1::NotesText() const {
  QString text;
  for (const auto& n : notes_) text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + Q(n);
  return text;
}

// The series is over: the kinds it did not reach, then one line for all.
void TForm1::EndSeries() {
  for (const auto& k : pendingKinds_)
    series_.push_back({k, app::TContinuousKind::TOutcome::NotRun});
  pendingKinds_.clear();
  StatusLine->Show(Q(app::ContinuousSummary(series_)), NotesText());
  notes_.clear();
  continuous_ = false;
  SetRunning(false);
  OfferResults();
  emit Idle();
}

void TForm1::Button2Click() {
  // The list opens at the folder the field names, when there is one.
  TOKBottomDlg dialog([this](const std::string& folder) { Edit1->setText(Q(folder)); }, this,
                      Edit1->text().toStdString());
  dialog.exec();
  // Browsing changes the current folder, which 6-digit mode packs in.
  ShowSixDigitFolder();
}

// One run per kind of the list, one after the other; an error ends the
// series with the failed kind set, a kind with no logs is skipped and named.
// The status line tells the whole series at its end.
void TForm1::Button3Click() {
  if (Running()) return;
  pendingKinds_ = Kinds();
  firstKind_ = pendingKinds_.empty() ? std::string() : pendingKinds_.front();
  series_.clear();
  notes_.clear();
  StatusLine->Clear();
  continuous_ = true;
  NextKind();
}

void TForm1::NextKind() {
  while (!pendingKinds_.empty()) {
    const std::string kind = pendingKinds_.front();
    pendingKinds_.erase(pendingKinds_.begin());
    SetKindText(kind);
    runningKind_ = kind;
    const std::size_t recorded = series_.size();
    bool started = false;
    if (!TApplication::Guarded([&] { started = StartRun(); }, this)) pendingKinds_.clear();
    if (started) return;
    const bool noLogs = series_.size() > recorded &&
                        series_.back().Outcome == app::TContinuousKind::TOutcome::NoLogs;
    if (!noLogs) {
      // The run did not start for another reason than missing logs: the
      // series ends here, the failed kind in the field.
      if (series_.size() == recorded)
        series_.push_back({kind, app::TContinuousKind::TOutcome::Failed});
      EndSeries();
      return;
    }
  }
  SetKindText(firstKind_);
  EndSeries();
}

// A kind goes into the list once: the same text again, or no text, adds nothing.
void TForm1::A1Click() {
  const QString text = Combo->currentText();
  if (text.isEmpty()) {
    StatusLine->Show(QStringLiteral("種類を入力してから追加してください。"));
    return;
  }
  if (Combo->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive) >= 0) {
    StatusLine->Show(QStringLiteral("種類 %1 はもうリストにあります。").arg(text));
    return;
  }
  Combo->addItem(text);
  Combo->setEditText(text);
}

// Removes exactly the kind the field shows; a text that is not in the list
// removes nothing and says so.
void TForm1::D1Click() {
  const QString text = Combo->currentText();
  const int index = Combo->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
  selectedKind_ = -1;
  if (index < 0) {
    ShowProblem(platform::FormatText("種類 '%s' はリストにありません。", {text.toStdString()}),
                "削除する種類をリストから選ぶか、リストにある名前を入力してください。");
    return;
  }
  Combo->removeItem(index);
  Combo->setEditText(text);
  StatusLine->Show(QStringLiteral("種類 %1 をリストから削除しました。").arg(text));
}

void TForm1::Exit1Click() { close(); }

void TForm1::Contents1Click() { WinHelp(this, "Pelsok1.hlp", app::HELP_CONTENTS, 0); }
void TForm1::SearchforHelpOn1Click() { WinHelp(this, "Pelsok1.hlp", app::HELP_KEY, 0); }
void TForm1::HowtoUseHelp1Click() { WinHelp(this, "WinHelp.hlp", app::HELP_HELPONHELP, 0); }

void TForm1::About1Click() {
  TAboutBox box(this);
  box.exec();
}

void TForm1::closeEvent(QCloseEvent* event) {
  // Closing during a run cancels it: the old archive and the logs stay.
  if (worker_ != nullptr) {
    pendingKinds_.clear();
    worker_->Cancel();
    worker_->Wait();
    delete worker_;
    worker_ = nullptr;
    SetRunning(false);
  }
  // An error while shutting down keeps the window open.
  if (TApplication::Guarded([this] { FormClose(); }, this)) {
    event->accept();
    emit Closed();
  } else {
    event->ignore();
  }
}

void TForm1::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (placement_) placement_->Track();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (placement_) placement_->Track();
}

void TForm1::showEvent(QShowEvent* event) {
  OfferFixedSizeFrame(*this);
  QMainWindow::showEvent(event);
}

// Esc stops a running run as 中止 does.
void TForm1::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && Running()) {
    Progress->CancelBtn->click();  // at once: a pressed look would delay the stop
    event->accept();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void TForm1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && placement_) placement_->Track();
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !focusFrameShown_) {
    // Activation gives the focus back with a reason that hides its frame;
    // the first time, show the frame again once that is done.
    focusFrameShown_ = true;
    QTimer::singleShot(0, this, [this] {
      setAttribute(Qt::WA_KeyboardFocusChange);
      if (QWidget* w = focusWidget()) w->update();
    });
  }
}

}  // namespace pelsok::ui
