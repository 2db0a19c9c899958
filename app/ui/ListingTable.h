// The viewer's entry table. Dragging rows out extracts them first (into a
// folder of the viewer's that goes with it) and hands the files to the drop
// target, so a file manager copies them where they are dropped.
#pragma once

#include <QTableView>
#include <QUrl>
#include <functional>
#include <string>
#include <vector>

namespace pelsok::ui {

class TListingTable : public QTableView {
  Q_OBJECT
 public:
  // Gives the extracted files for the dragged names; none stops the drag.
  using TDragExtract = std::function<QList<QUrl>(const std::vector<std::string>& names)>;

  explicit TListingTable(QWidget* parent = nullptr);
  void SetDragExtract(TDragExtract extract) { extract_ = std::move(extract); }
  // The stored names of the selected rows, in the table's order.
  std::vector<std::string> SelectedNames() const;
  // What a drag of the selection would carry (the files, extracted).
  QMimeData* DragData() const;

 protected:
  void startDrag(Qt::DropActions supportedActions) override;

 private:
  TDragExtract extract_;
};

}  // namespace pelsok::ui
