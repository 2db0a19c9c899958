// TAboutBox, the version information box.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace pelsok::ui {

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* parent = nullptr);

  QLabel* ProductName;
  QLabel* Version;
  QLabel* Copyright;
  QLabel* Comments;
  QPushButton* OKButton;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace pelsok::ui
