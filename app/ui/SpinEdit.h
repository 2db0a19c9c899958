// A spin edit: an edit field with up and down arrows. It takes only digits,
// signs and the decimal separator, steps by one with its arrows and the Up
// and Down keys, and pulls a value outside its range to the nearest bound
// when the focus leaves it. An empty text stays empty.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace pelsok::ui {

class TSpinEdit : public QWidget {
  Q_OBJECT
 public:
  TSpinEdit(int minValue, int maxValue, QWidget* parent = nullptr);

  // Named as Qt's spin boxes name them.
  // NOLINTBEGIN(readability-identifier-naming)
  QString text() const;
  void setText(const QString& text);
  int minValue() const { return min_; }
  int maxValue() const { return max_; }
  QLineEdit* lineEdit() const { return edit_; }
  void stepBy(int delta);
  // NOLINTEND(readability-identifier-naming)

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  int min_;
  int max_;
  QLineEdit* edit_;
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace pelsok::ui
