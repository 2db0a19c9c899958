#include "app/ui/RunProgress.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "app/run/RunSummary.h"
#include "app/ui/Fonts.h"
#include "app/ui/TaskWorker.h"

namespace pelsok::ui {

TRunProgress::TRunProgress(QWidget* parent) : QWidget(parent) {
  setObjectName("RunProgress");
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 2, 6, 4);
  Current = new QLabel(this);
  Current->setMinimumWidth(1);
  Counts = new QLabel(this);
  Bar = new QProgressBar(this);
  Bar->setRange(0, 1000);
  Bar->setTextVisible(false);
  Bar->setFixedHeight(14);
  CancelBtn = new QPushButton(QStringLiteral("中止(&S)"), this);
  CancelBtn->setAutoDefault(true);
  Current->setFont(PelsokFont(12));
  Counts->setFont(PelsokFont(12));
  grid->addWidget(Current, 0, 0, 1, 2);
  grid->addWidget(Bar, 1, 0);
  grid->addWidget(CancelBtn, 1, 1);
  grid->addWidget(Counts, 2, 0, 1, 2);
  grid->setColumnStretch(0, 1);
}

void TRunProgress::Begin(const QString& archive) {
  phase_.clear();
  Current->setText(QStringLiteral("%1 を作っています…").arg(archive));
  Counts->setText(QString());
  Bar->setValue(0);
  CancelBtn->setEnabled(true);
}

void TRunProgress::BeginTask(const QString& text, const QString& phase) {
  phase_ = phase;
  Current->setText(text);
  Counts->setText(QString());
  Bar->setValue(0);
  CancelBtn->setEnabled(true);
}

void TRunProgress::Show(const TRunProgressInfo& p) {
  const QFontMetrics fm(Current->font());
  Current->setText(phase_ + fm.elidedText(p.Current, Qt::ElideMiddle,
                                          Current->width() - fm.horizontalAdvance(phase_)));
  Counts->setText(QString::fromStdString(
      app::ProgressCounts(p.FilesDone, p.FilesTotal, p.BytesDone, p.BytesTotal)));
  if (p.BytesTotal > 0)
    Bar->setValue(static_cast<int>(p.BytesDone * 1000 / p.BytesTotal));
  else if (p.FilesTotal > 0)
    Bar->setValue(static_cast<int>(p.FilesDone * 1000 / p.FilesTotal));
}

void TRunProgress::Checking(const QString& archive) {
  phase_ = QStringLiteral("確かめています: ");
  Current->setText(QStringLiteral("削除の前に %1 を確かめています…").arg(archive));
  Counts->setText(QString());
  Bar->setValue(0);
}

void TRunProgress::Cancelling() {
  CancelBtn->setEnabled(false);
  Current->setText(QStringLiteral("中止しています…"));
}

}  // namespace pelsok::ui
