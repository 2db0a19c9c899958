// The status line under the main window's controls: one line of text that
// is shortened with "…" when it does not fit, the whole text (and any
// details) in its tool tip. text() is always the whole text.
#pragma once

#include <QLabel>

namespace pelsok::ui {

class TStatusLine : public QLabel {
  Q_OBJECT
 public:
  explicit TStatusLine(QWidget* parent = nullptr);

  // Shows text; details (more lines) go to the tool tip only.
  void Show(const QString& text, const QString& details = QString());
  void Clear() { Show(QString()); }
  // What the line draws: the text, shortened to the line's width.
  QString ShownText() const;
  bool Elided() const { return ShownText() != text(); }

  // The line takes the width it is given and never widens the window.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateToolTip();
  QString details_;
};

}  // namespace pelsok::ui
