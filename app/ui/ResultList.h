// The result list of the last run: one row per kind (every kind of a
// continuous run) with its archive, the logs packed, deleted and kept with
// why, a kind without logs and a failure with its reason. A double click on
// a row with an archive (or 書庫を開く) opens it in the viewer.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "app/run/ResultRows.h"

class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace pelsok::ui {

class TResultList : public QDialog {
  Q_OBJECT
 public:
  // open is called with an archive's full name.
  TResultList(std::function<void(const std::string&)> open, QWidget* parent = nullptr);

  void SetRows(const std::vector<app::TResultRow>& rows);
  const std::vector<app::TResultRow>& Rows() const { return rows_; }

  QTreeWidget* List;
  // The current row in full: its archive, the kept logs and the reason.
  QPlainTextEdit* Details;
  QPushButton* OpenBtn;
  QPushButton* CloseBtn;

  // Opens the archive of the current row, when it has one.
  void OpenCurrent();

 private:
  void ShowDetails();

  std::function<void(const std::string&)> open_;
  std::vector<app::TResultRow> rows_;
};

}  // namespace pelsok::ui
