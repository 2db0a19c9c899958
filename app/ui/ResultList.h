// The result list of the last run: one row per kind (every kind of a
// continuous run) with its archive, the logs packed, deleted and kept with
// why, a kind without logs and a failure with its reason. A double click on
// a row with an archive (or 書庫を開く) opens it in the viewer. The 検証
// column tells whether each archive's manifest verifies (一致, 不一致, なし),
// checked on a thread of its own after the rows are set.
#pragma once

#include <QDialog>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/run/ManifestVerify.h"
#include "app/run/ResultRows.h"

class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace pelsok::ui {

class TTaskWorker;

class TResultList : public QDialog {
  Q_OBJECT
 public:
  // open is called with an archive's full name.
  TResultList(std::function<void(const std::string&)> open, QWidget* parent = nullptr);
  ~TResultList() override;

  void SetRows(const std::vector<app::TResultRow>& rows);
  const std::vector<app::TResultRow>& Rows() const { return rows_; }
  // The manifest checks of the rows' archives (one a row; nullopt for a row
  // without an archive); empty while they run.
  const std::vector<std::optional<app::TVerifyResult>>& Verified() const { return verified_; }
  bool Verifying() const { return worker_ != nullptr; }

  QTreeWidget* List;
  // The current row in full: its archive, the kept logs and the reason.
  QPlainTextEdit* Details;
  QPushButton* OpenBtn;
  QPushButton* CloseBtn;

  // Opens the archive of the current row, when it has one.
  void OpenCurrent();

 signals:
  // The manifest checks ended and the 検証 column shows them.
  void ManifestsChecked();

 private:
  void ShowDetails();
  void StartVerify();
  void StopVerify();
  void ShowVerified();

  std::function<void(const std::string&)> open_;
  std::vector<app::TResultRow> rows_;
  std::vector<std::optional<app::TVerifyResult>> verified_;
  TTaskWorker* worker_ = nullptr;
  std::shared_ptr<std::atomic<bool>> stop_;
};

}  // namespace pelsok::ui
