#include "app/ui/ListingModel.h"

#include <QLocale>

namespace pelsok::ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Sizes in full with thousands separators: the column is read digit by digit.
QString Bytes(std::uint64_t n) {
  QString digits = QString::number(n);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(i, u',');
  return digits;
}

}  // namespace

TListingModel::TListingModel(QObject* parent) : QAbstractTableModel(parent) {}

void TListingModel::SetListing(app::TArchiveListing listing) {
  beginResetModel();
  listing_ = std::move(listing);
  endResetModel();
}

int TListingModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(listing_.Entries.size());
}

int TListingModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant TListingModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const app::TListingEntry& e = Entry(index.row());
  if (role == Qt::TextAlignmentRole) {
    const bool number =
        index.column() == kSize || index.column() == kPacked || index.column() == kRatio;
    return QVariant::fromValue(Qt::Alignment(number ? Qt::AlignRight | Qt::AlignVCenter
                                                    : Qt::AlignLeft | Qt::AlignVCenter));
  }
  if (role == Qt::ToolTipRole && index.column() == kName) return Q(e.Name);
  if (role == kSortRole) {
    switch (index.column()) {
      case kName:
        return Q(e.Name);
      case kSize:
        return QVariant::fromValue<qulonglong>(e.Size);
      case kPacked:
        return QVariant::fromValue<qulonglong>(e.Packed);
      case kRatio:
        return QVariant::fromValue<qulonglong>(app::RatioPerMille(e.Size, e.Packed));
      case kStamp:
        return QVariant::fromValue<qulonglong>((static_cast<qulonglong>(e.DosDate) << 16) |
                                               e.DosTime);
      case kMethod:
        return Q(e.Method);
      default:
        return {};
    }
  }
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case kName:
      return Q(e.Name);
    case kSize:
      return e.Folder ? QString() : Bytes(e.Size);
    case kPacked:
      return e.Folder ? QString() : Bytes(e.Packed);
    case kRatio:
      return Q(app::RatioText(e.Size, e.Packed));
    case kStamp:
      return Q(app::DosStampText(e.DosDate, e.DosTime));
    case kMethod:
      return Q(e.Method);
    default:
      return {};
  }
}

QVariant TListingModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const titles[kColumns] = {"名前", "サイズ", "圧縮後", "率", "日時", "方式"};
  return section >= 0 && section < kColumns ? QString::fromUtf8(titles[section]) : QVariant();
}

Qt::ItemFlags TListingModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

}  // namespace pelsok::ui
