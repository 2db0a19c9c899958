#include "app/ui/StatusLine.h"

#include <QPainter>
#include <QStyle>

namespace pelsok::ui {

TStatusLine::TStatusLine(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void TStatusLine::Show(const QString& text, const QString& details) {
  details_ = details;
  setText(text);
  UpdateToolTip();
  update();
}

QString TStatusLine::ShownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

QSize TStatusLine::sizeHint() const { return {0, QLabel::sizeHint().height()}; }
QSize TStatusLine::minimumSizeHint() const { return {0, QLabel::minimumSizeHint().height()}; }

void TStatusLine::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  style()->drawItemText(&painter, contentsRect(), Qt::AlignLeft | Qt::AlignVCenter, palette(),
                        isEnabled(), ShownText(), foregroundRole());
}

void TStatusLine::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  UpdateToolTip();
}

void TStatusLine::UpdateToolTip() {
  QString tip = Elided() ? text() : QString();
  if (!details_.isEmpty()) tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + details_;
  setToolTip(tip);
}

}  // namespace pelsok::ui
