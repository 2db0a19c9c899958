#include "app/ui/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace pelsok::ui {

QPixmap ProgramPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  // Two log pages behind the box.
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(QColor(250, 250, 245));
  p.drawRect(QRectF(7.5, 2.5, 14, 16));
  p.drawRect(QRectF(11.5, 4.5, 14, 16));
  p.setPen(QPen(QColor(120, 140, 180), 1));
  for (int y = 8; y <= 14; y += 3) p.drawLine(QPointF(14, y), QPointF(23, y));
  // The archive box.
  p.setPen(QPen(QColor(110, 70, 30), 1.2));
  p.setBrush(QColor(214, 160, 90));
  p.drawRoundedRect(QRectF(3.5, 14.5, 25, 15), 2, 2);
  p.setBrush(QColor(180, 120, 60));
  p.drawRect(QRectF(3.5, 14.5, 25, 4));
  p.setPen(QPen(QColor(110, 70, 30), 1.6));
  p.drawLine(QPointF(16, 14.5), QPointF(16, 29.5));
  return pixmap;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int s : {16, 32, 48, 64}) icon.addPixmap(ProgramPixmap(s));
  return icon;
}

}  // namespace pelsok::ui
