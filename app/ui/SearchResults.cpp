#include "app/ui/SearchResults.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace pelsok::ui {

TSearchResults::TSearchResults(QWidget* parent) : QTableWidget(0, kColumns, parent) {
  setObjectName("SearchResults");
  setHorizontalHeaderLabels(
      {QStringLiteral("ファイル"), QStringLiteral("行"), QStringLiteral("内容")});
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setWordWrap(false);
  setToolTip(QStringLiteral("ダブルクリック (または Enter) でその行を前後の行と一緒に表示します"));
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setSectionResizeMode(kMember, QHeaderView::ResizeToContents);
  horizontalHeader()->setSectionResizeMode(kLine, QHeaderView::ResizeToContents);
  horizontalHeader()->setSectionResizeMode(kText, QHeaderView::Stretch);
  connect(this, &QTableWidget::cellDoubleClicked, this,
          [this](int row, int) { emit ContextAsked(row); });
}

void TSearchResults::SetHits(const std::vector<app::TSearchHit>& hits) {
  hits_ = hits;
  clearContents();
  setRowCount(static_cast<int>(hits_.size()));
  for (int row = 0; row < rowCount(); ++row) {
    const app::TSearchHit& hit = hits_[static_cast<std::size_t>(row)];
    setItem(row, kMember, new QTableWidgetItem(QString::fromStdString(hit.Member)));
    auto* line = new QTableWidgetItem(QString::number(hit.Line));
    line->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setItem(row, kLine, line);
    // A long line is shown in part; the context view has it.
    setItem(row, kText,
            new QTableWidgetItem(QString::fromUtf8(
                hit.Text.data(),
                static_cast<qsizetype>(std::min<std::size_t>(hit.Text.size(), 1000)))));
  }
}

void TSearchResults::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
    emit ContextAsked(currentRow());
    event->accept();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

}  // namespace pelsok::ui
