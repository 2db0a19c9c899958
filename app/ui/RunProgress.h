// The progress display of a running Compress run: the current file, files
// and bytes done out of the total, a bar, and the Cancel button.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace pelsok::ui {

struct TRunProgressInfo;

class TRunProgress : public QWidget {
  Q_OBJECT
 public:
  explicit TRunProgress(QWidget* parent = nullptr);

  QLabel* Current;
  QLabel* Counts;
  QProgressBar* Bar;
  QPushButton* CancelBtn;

  // Clears the display for a new run of the named archive.
  void Begin(const QString& archive);
  // Clears the display for another task, described by text ("展開しています…");
  // phase goes before each file's name as the task goes ("展開: ").
  void BeginTask(const QString& text, const QString& phase = QString());
  void Show(const TRunProgressInfo& info);
  // The logs are to go: the new archive is being checked first.
  void Checking(const QString& archive);
  // Cancel was pressed: the display says so until the run ends.
  void Cancelling();

 private:
  QString phase_;  // what the run is doing, before the current file
};

}  // namespace pelsok::ui
