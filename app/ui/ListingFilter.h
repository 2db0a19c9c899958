// The viewer's filter and sort over the listing table: the rows whose name
// holds the filter text (any case), or matches it as a pattern when it has
// * or ?; each column sorts by its value, not its text.
#pragma once

#include <QRegularExpression>
#include <QSortFilterProxyModel>

namespace pelsok::ui {

class TListingFilter : public QSortFilterProxyModel {
  Q_OBJECT
 public:
  explicit TListingFilter(QObject* parent = nullptr);
  void SetPattern(const QString& text);
  const QString& Pattern() const { return pattern_; }

 protected:
  // NOLINTBEGIN(readability-identifier-naming)
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
  // NOLINTEND(readability-identifier-naming)

 private:
  QString pattern_;
  QRegularExpression wildcard_;
};

}  // namespace pelsok::ui
