#include "app/ui/ResultList.h"

#include <QBrush>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

#include "app/ui/Fonts.h"
#include "app/ui/TaskWorker.h"

namespace pelsok::ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

enum TColumn { kKind, kOutcome, kArchive, kVerify, kPacked, kDeleted, kKept, kWhy, kColumns };

}  // namespace

TResultList::TResultList(std::function<void(const std::string&)> open, QWidget* parent)
    : QDialog(parent), open_(std::move(open)) {
  setObjectName("ResultList");
  setWindowTitle(QStringLiteral("実行結果の一覧 - ペルソク"));
  setFont(PelsokFont(12));
  resize(860, 380);
  auto* column = new QVBoxLayout(this);
  auto* hint = new QLabel(
      QStringLiteral("種類ごとの結果です。書庫の行をダブルクリックすると書庫ビューアで開きます。"),
      this);
  column->addWidget(hint);
  List = new QTreeWidget(this);
  List->setRootIsDecorated(false);
  List->setColumnCount(kColumns);
  List->setHeaderLabels({QStringLiteral("種類"), QStringLiteral("結果"), QStringLiteral("書庫"),
                         QStringLiteral("検証"), QStringLiteral("圧縮数"), QStringLiteral("削除数"),
                         QStringLiteral("残したログ (理由)"), QStringLiteral("理由・メモ")});
  List->setAlternatingRowColors(true);
  List->header()->setStretchLastSection(true);
  column->addWidget(List, 3);
  Details = new QPlainTextEdit(this);
  Details->setObjectName("ResultDetails");
  Details->setReadOnly(true);
  column->addWidget(Details, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  OpenBtn = new QPushButton(QStringLiteral("書庫を開く(&O)"), this);
  CloseBtn = new QPushButton(QStringLiteral("閉じる(&C)"), this);
  buttons->addWidget(OpenBtn);
  buttons->addWidget(CloseBtn);
  column->addLayout(buttons);
  connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(OpenBtn, &QPushButton::clicked, this, [this] { OpenCurrent(); });
  connect(List, &QTreeWidget::itemDoubleClicked, this, [this] { OpenCurrent(); });
  connect(List, &QTreeWidget::currentItemChanged, this, [this] { ShowDetails(); });
}

TResultList::~TResultList() { StopVerify(); }

void TResultList::SetRows(const std::vector<app::TResultRow>& rows) {
  StopVerify();
  rows_ = rows;
  List->clear();
  for (const auto& r : rows_) {
    auto* item = new QTreeWidgetItem(List);
    item->setText(kKind, Q(r.Kind));
    item->setText(kOutcome, Q(r.Outcome));
    item->setText(kArchive, Q(r.Archive));
    item->setText(kPacked, Q(r.Packed));
    item->setText(kDeleted, Q(r.Deleted));
    item->setText(kKept, Q(r.Kept));
    item->setText(kWhy, Q(r.Why));
    item->setToolTip(kWhy, Q(r.Why));
    item->setToolTip(kArchive, Q(r.ArchivePath));
    if (!r.ArchivePath.empty()) item->setText(kVerify, QStringLiteral("確認中…"));
    item->setTextAlignment(kPacked, Qt::AlignRight | Qt::AlignTop);
    item->setTextAlignment(kDeleted, Qt::AlignRight | Qt::AlignTop);
    if (r.Problem) item->setForeground(kOutcome, QBrush(QColor(0xb0, 0x20, 0x20)));
  }
  for (int c = 0; c < kKept; ++c) List->resizeColumnToContents(c);
  // The long texts are shortened here and told in full below the list.
  List->setColumnWidth(kKept, 240);
  if (List->topLevelItemCount() > 0) List->setCurrentItem(List->topLevelItem(0));
  ShowDetails();
  StartVerify();
}

void TResultList::StartVerify() {
  std::vector<std::string> archives;
  for (const auto& r : rows_) archives.push_back(r.ArchivePath);
  // The thread writes only its own results; the list reads them once it ended.
  auto results = std::make_shared<std::vector<std::optional<app::TVerifyResult>>>();
  stop_ = std::make_shared<std::atomic<bool>>(false);
  worker_ = new TTaskWorker(
      [results, archives, stop = stop_] {
        for (const auto& archive : archives) {
          if (*stop) return;
          results->push_back(archive.empty() ? std::nullopt
                                             : std::optional(app::VerifyArchive(archive)));
        }
      },
      this);
  connect(worker_, &TTaskWorker::Finished, this, [this, results] {
    TTaskWorker* done = worker_;
    done->Wait();
    worker_ = nullptr;
    done->deleteLater();
    verified_ = *results;
    ShowVerified();
    emit ManifestsChecked();
  });
  worker_->Start();
}

void TResultList::StopVerify() {
  verified_.clear();
  if (worker_ == nullptr) return;
  *stop_ = true;
  worker_->Cancel();
  delete worker_;  // waits for its thread
  worker_ = nullptr;
}

void TResultList::ShowVerified() {
  for (std::size_t i = 0; i < verified_.size(); ++i) {
    QTreeWidgetItem* item = List->topLevelItem(static_cast<int>(i));
    if (item == nullptr || !verified_[i]) continue;
    const app::TVerifyResult& v = *verified_[i];
    item->setText(kVerify, Q(app::VerdictWord(v.Verdict)));
    QString tip = Q(app::VerifySummary(v));
    for (const auto& f : v.Findings) tip += QStringLiteral("\n") + Q(f.Message);
    item->setToolTip(kVerify, tip);
    if (v.Verdict == app::TVerifyVerdict::Differs)
      item->setForeground(kVerify, QBrush(QColor(0xb0, 0x20, 0x20)));
  }
  List->resizeColumnToContents(kVerify);
  ShowDetails();
}

void TResultList::ShowDetails() {
  const int row = List->indexOfTopLevelItem(List->currentItem());
  if (row < 0) {
    Details->clear();
    OpenBtn->setEnabled(false);
    return;
  }
  const app::TResultRow& r = rows_[static_cast<std::size_t>(row)];
  QString text = QStringLiteral("%1: %2").arg(Q(r.Kind), Q(r.Outcome));
  if (!r.ArchivePath.empty()) text += QStringLiteral("\n書庫: ") + Q(r.ArchivePath);
  if (!r.Packed.empty())
    text += QStringLiteral("\n圧縮したログ: %1, 削除したログ: %2").arg(Q(r.Packed), Q(r.Deleted));
  if (!r.Kept.empty()) text += QStringLiteral("\n残したログ (理由):\n") + Q(r.Kept);
  if (!r.Why.empty()) text += QStringLiteral("\n") + Q(r.Why);
  if (static_cast<std::size_t>(row) < verified_.size() &&
      verified_[static_cast<std::size_t>(row)]) {
    const app::TVerifyResult& v = *verified_[static_cast<std::size_t>(row)];
    text += QStringLiteral("\nマニフェスト: ") + Q(app::VerifySummary(v));
    for (const auto& f : v.Findings)
      if (app::IsVerifyFailure(f.Kind)) text += QStringLiteral("\n  ") + Q(f.Message);
  }
  Details->setPlainText(text);
  OpenBtn->setEnabled(!r.ArchivePath.empty());
}

void TResultList::OpenCurrent() {
  const int row = List->indexOfTopLevelItem(List->currentItem());
  if (row < 0) return;
  const std::string& path = rows_[static_cast<std::size_t>(row)].ArchivePath;
  if (!path.empty() && open_) open_(path);
}

}  // namespace pelsok::ui
