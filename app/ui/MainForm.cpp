#include "app/ui/MainForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <cstdint>

#include "app/core/ContinuousRun.h"
#include "app/core/DataSave.h"
#include "app/core/DateDefaults.h"
#include "app/core/DefaultKinds.h"
#include "app/core/HelpFiles.h"
#include "app/ui/AboutBox.h"
#include "app/ui/Application.h"
#include "app/ui/BrowseDialog.h"
#include "app/ui/ConfirmDialog.h"
#include "app/ui/Fonts.h"
#include "app/ui/FormPlacement.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/SpinEdit.h"
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
  move(202, 113);

  placement_ = std::make_unique<TFormPlacement>(*this, "Form1");
  winPlace_ = std::make_unique<winplace::TWinPlace>(*placement_, "WinPlace1");
  winplace::TWinPlace::SetKeyName(app::kSettingsKey);

  TApplication::Guarded([this] { FormCreate(); }, this);

  confirm_ = new TOKBottomDlg1([this](const std::string& answer) { Edit3 = answer; }, this);
}

TForm1::~TForm1() = default;

template <typename Sender, typename Signal>
void TForm1::Handle(Sender* sender, Signal signal, void (TForm1::*handler)()) {
  connect(sender, signal, this,
          [this, handler] { TApplication::Guarded([&] { (this->*handler)(); }, this); });
}

void TForm1::BuildControls() {
  auto* client = new QWidget(this);
  client->setFixedSize(306, 149);
  setCentralWidget(client);

  Button1 = new QPushButton(QStringLiteral("圧縮"), client);
  Button1->setGeometry(11, 5, 75, 25);
  Combo = new QComboBox(client);
  Combo->setEditable(true);
  Combo->setInsertPolicy(QComboBox::NoInsert);
  Combo->setGeometry(112, 5, 57, 24);
  Combo->setEditText(QStringLiteral("DR"));
  Spin = new TSpinEdit(1, 12, client);
  Spin->setGeometry(112, 64, 57, 26);
  Spin->setText(QStringLiteral("1"));
  Check = new QCheckBox(QStringLiteral("数字６桁用"), client);
  Check->setGeometry(13, 62, 97, 17);
  Spin2 = new TSpinEdit(1, 9999, client);
  Spin2->setGeometry(112, 32, 57, 26);
  Spin2->setText(QStringLiteral("1"));
  Edit1 = new QLineEdit(QStringLiteral("Logフォルダを指定してください。"), client);
  Edit1->setGeometry(6, 119, 235, 24);
  Button2 = new QPushButton(QStringLiteral("参照"), client);
  Button2->setGeometry(248, 119, 49, 25);
  Button3 = new QPushButton(QStringLiteral("連続圧縮"), client);
  Button3->setGeometry(11, 31, 75, 26);
  Button4 = new QPushButton(QStringLiteral("種類追加"), client);
  Button4->setGeometry(216, 7, 73, 25);
  Button5 = new QPushButton(QStringLiteral("種類削除"), client);
  Button5->setGeometry(216, 32, 73, 25);
  Check2 = new QCheckBox(QStringLiteral("圧縮後削除"), client);
  Check2->setGeometry(197, 62, 97, 17);

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

  QWidget* order[] = {Button1, Combo,   Spin,    Check,   Spin2, Edit1,
                      Button2, Button3, Button4, Button5, Check2};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  Handle(Button1, &QPushButton::clicked, &TForm1::Button1Click);
  Handle(Button2, &QPushButton::clicked, &TForm1::Button2Click);
  Handle(Button3, &QPushButton::clicked, &TForm1::Button3Click);
  Handle(Button4, &QPushButton::clicked, &TForm1::Button4Click);
  Handle(Button5, &QPushButton::clicked, &TForm1::Button5Click);
  connect(Combo, &QComboBox::activated, this, [this](int index) { selectedKind_ = index; });
}

void TForm1::BuildMenu() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
  Exit1 = file->addAction(QStringLiteral("終了(&X)"));
  QMenu* options = bar->addMenu(QStringLiteral("ｵﾌﾟｼｮﾝ(&O)"));
  A1 = options->addAction(QStringLiteral("種類追加(&A)"));
  D1 = options->addAction(QStringLiteral("種類削除(&D)"));
  QMenu* help = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
  Contents1 = help->addAction(QStringLiteral("目次(&C)"));
  SearchforHelpOn1 = help->addAction(QStringLiteral("ﾄﾋﾟｯｸの検索(&S)..."));
  HowtoUseHelp1 = help->addAction(QStringLiteral("ﾍﾙﾌﾟの使い方(&H)"));
  help->addSeparator();
  About1 = help->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)..."));

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
  Edit1->setText(Q(fields.PathName));
  Edit3 = fields.Keta;
  SetKinds(fields.Kinds);

  winPlace_->RestorePlacement();
  Check->setChecked(Edit3 == "Yes");
}

void TForm1::FormClose() {
  Edit3 = Check->isChecked() ? "Yes" : "No";
  app::TDataSave::SaveSettings({Edit1->text().toStdString(), Edit3, Kinds()});
  winPlace_->SavePlacement();
}

void TForm1::Button1Click() {
  const app::TRunInput in{Edit1->text().toStdString(), KindText(),
                          Spin2->text().toStdString(), Spin->text().toStdString(),
                          Check->isChecked(),          Check2->isChecked()};
  app::TCompressRun run(State, reinterpret_cast<ArcWnd>(static_cast<std::uintptr_t>(winId())));
  LastRun = app::TRunResult{};
  LastRun = run.Run(in, [this] {
    confirm_->exec();
    return Edit3 == "Y";
  });
  if (!LastRun.Deletion.Kept.empty())
    QMessageBox::warning(this, Q(TApplication::Title()), Q(LastRun.Deletion.KeptMessage()));
  if (!LastRun.OldArchiveKeptAs.empty())
    QMessageBox::warning(this, Q(TApplication::Title()),
                         Q(app::TCompressRun::OldArchiveKeptMessage(LastRun)));
}

void TForm1::Button2Click() {
  TOKBottomDlg dialog([this](const std::string& folder) { Edit1->setText(Q(folder)); }, this);
  dialog.exec();
}

void TForm1::Button3Click() {
  app::RunContinuous(
      Kinds(), [this](const std::string& kind) { SetKindText(kind); }, [this] { Button1Click(); });
}

void TForm1::A1Click() {
  const QString text = Combo->currentText();
  Combo->addItem(text);
  Combo->setEditText(text);
}

void TForm1::D1Click() {
  if (selectedKind_ < 0 || selectedKind_ >= Combo->count()) return;
  const QString text = Combo->currentText();
  Combo->removeItem(selectedKind_);
  Combo->setEditText(text);
  selectedKind_ = -1;
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

void TForm1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && placement_) placement_->Track();
}

}  // namespace pelsok::ui
