// The viewer's table: one row per entry of an archive listing, the columns
// name, size, packed size, ratio, date and time, method. Qt::DisplayRole
// gives the texts, kSortRole the values the columns sort by (numbers for
// the sizes, the ratio and the stamp).
#pragma once

#include <QAbstractTableModel>

#include "app/run/ArchiveListing.h"

namespace pelsok::ui {

class TListingModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum TColumn { kName, kSize, kPacked, kRatio, kStamp, kMethod, kColumns };
  static constexpr int kSortRole = Qt::UserRole + 1;

  explicit TListingModel(QObject* parent = nullptr);

  void SetListing(app::TArchiveListing listing);
  const app::TArchiveListing& Listing() const { return listing_; }
  const app::TListingEntry& Entry(int row) const {
    return listing_.Entries.at(static_cast<std::size_t>(row));
  }

  // NOLINTBEGIN(readability-identifier-naming)
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // NOLINTEND(readability-identifier-naming)

 private:
  app::TArchiveListing listing_;
};

}  // namespace pelsok::ui
