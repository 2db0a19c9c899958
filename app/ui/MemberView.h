// A read-only view of one member around a line the search found: the lines
// before and after it with their numbers, the line itself marked and in
// view, and a note saying which part of the member is shown.
#pragma once

#include <QDialog>

#include "app/run/ArchiveSearch.h"

class QLabel;
class QPlainTextEdit;

namespace pelsok::ui {

class TMemberView : public QDialog {
  Q_OBJECT
 public:
  TMemberView(const app::TMemberContext& context, std::uint64_t line, QWidget* parent = nullptr);

  QLabel* Note;
  QPlainTextEdit* Text;
};

}  // namespace pelsok::ui
