#include "app/ui/ListingFilter.h"

#include <QRegularExpression>

#include "app/ui/ListingModel.h"

namespace pelsok::ui {

TListingFilter::TListingFilter(QObject* parent) : QSortFilterProxyModel(parent) {
  setSortRole(TListingModel::kSortRole);
  setSortCaseSensitivity(Qt::CaseInsensitive);
}

void TListingFilter::SetPattern(const QString& text) {
  pattern_ = text.trimmed();
  const bool wild = pattern_.contains(u'*') || pattern_.contains(u'?');
  // A pattern without a folder matches the name's last part or the whole name.
  wildcard_ =
      wild ? QRegularExpression::fromWildcard(pattern_, Qt::CaseInsensitive) : QRegularExpression();
  invalidateFilter();
}

bool TListingFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
  if (pattern_.isEmpty()) return true;
  const QString name =
      sourceModel()->index(sourceRow, TListingModel::kName, sourceParent).data().toString();
  if (!wildcard_.pattern().isEmpty()) {
    if (wildcard_.match(name).hasMatch()) return true;
    const qsizetype slash = name.lastIndexOf(u'/');
    return slash >= 0 && wildcard_.match(name.mid(slash + 1)).hasMatch();
  }
  return name.contains(pattern_, Qt::CaseInsensitive);
}

bool TListingFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  const QVariant a = left.data(TListingModel::kSortRole);
  const QVariant b = right.data(TListingModel::kSortRole);
  if (a.typeId() == QMetaType::QString) {
    const int c = QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive);
    if (c != 0) return c < 0;
  } else if (a.toULongLong() != b.toULongLong()) {
    return a.toULongLong() < b.toULongLong();
  }
  // Equal values keep the archive's order.
  return left.row() < right.row();
}

}  // namespace pelsok::ui
