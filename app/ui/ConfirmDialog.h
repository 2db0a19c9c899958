// TOKBottomDlg1, the deletion confirmation dialog. OK answers "Y", Cancel,
// Esc, the close box and Alt+F4 answer "N"; the caller reads the answer.
// Below the question it names the archive and lists the logs that would go.
// Each time it opens, OK is the focused default button, whatever was
// pressed the time before.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace pelsok::ui {

class TOKBottomDlg1 : public QDialog {
  Q_OBJECT
 public:
  // answer receives "Y" or "N" (the main window's Edit3).
  TOKBottomDlg1(std::function<void(const std::string&)> answer, QWidget* parent = nullptr);

  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QLabel* Label;
  QFrame* Bevel1;
  QLabel* Details;
  QListWidget* Logs;

  // Names the archive and the logs the deletion would remove.
  void SetDetails(const std::string& archive, const std::vector<std::string>& logs);

  void OKBtnClick();
  void CancelBtnClick();

  void accept() override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::function<void(const std::string&)> answer_;
};

}  // namespace pelsok::ui
