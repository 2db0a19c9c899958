// The viewer's search results: one row per matching line, with the member,
// the line number and the line's text; a double-click (or Enter) asks for
// that line in context.
#pragma once

#include <QTableWidget>

#include "app/run/ArchiveSearch.h"

namespace pelsok::ui {

class TSearchResults : public QTableWidget {
  Q_OBJECT
 public:
  enum { kMember, kLine, kText, kColumns };
  explicit TSearchResults(QWidget* parent = nullptr);

  void SetHits(const std::vector<app::TSearchHit>& hits);
  const app::TSearchHit& Hit(int row) const { return hits_.at(static_cast<std::size_t>(row)); }

 signals:
  void ContextAsked(int row);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::vector<app::TSearchHit> hits_;
};

}  // namespace pelsok::ui
