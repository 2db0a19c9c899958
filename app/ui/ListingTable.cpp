#include "app/ui/ListingTable.h"

#include <QDrag>
#include <QHeaderView>
#include <QMimeData>

#include "app/ui/ListingModel.h"

namespace pelsok::ui {

TListingTable::TListingTable(QWidget* parent) : QTableView(parent) {
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setDragEnabled(true);
  setDragDropMode(QAbstractItemView::DragOnly);
  setDefaultDropAction(Qt::CopyAction);
  setWordWrap(false);
  setShowGrid(false);
  setAlternatingRowColors(true);
  setTabKeyNavigation(false);
  verticalHeader()->hide();
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSortIndicatorShown(true);
}

std::vector<std::string> TListingTable::SelectedNames() const {
  std::vector<std::string> names;
  if (selectionModel() == nullptr) return names;
  QModelIndexList rows = selectionModel()->selectedRows(TListingModel::kName);
  std::sort(rows.begin(), rows.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  for (const QModelIndex& i : rows) names.push_back(i.data().toString().toStdString());
  return names;
}

QMimeData* TListingTable::DragData() const {
  const std::vector<std::string> names = SelectedNames();
  if (names.empty() || !extract_) return nullptr;
  const QList<QUrl> urls = extract_(names);
  if (urls.isEmpty()) return nullptr;
  auto* data = new QMimeData;
  data->setUrls(urls);
  return data;
}

void TListingTable::startDrag(Qt::DropActions /*supportedActions*/) {
  QMimeData* data = DragData();
  if (data == nullptr) return;
  auto* drag = new QDrag(this);
  drag->setMimeData(data);
  drag->exec(Qt::CopyAction, Qt::CopyAction);
}

}  // namespace pelsok::ui
