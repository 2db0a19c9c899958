#include "app/ui/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <limits>

namespace pelsok::ui {
namespace {

long long Overlap(const QRect& a, const QRect& b) {
  const QRect i = a.intersected(b);
  return i.isEmpty() ? 0 : static_cast<long long>(i.width()) * i.height();
}

long long Distance(const QRect& a, const QRect& b) {
  const QPoint d = a.center() - b.center();
  return static_cast<long long>(d.x()) * d.x() + static_cast<long long>(d.y()) * d.y();
}

}  // namespace

QRect FitOntoScreens(const QRect& frame, const QList<QRect>& areas) {
  if (areas.isEmpty()) return frame;
  const QRect* best = nullptr;
  long long bestOverlap = 0;
  for (const QRect& a : areas) {
    const long long o = Overlap(frame, a);
    if (o > bestOverlap) {
      bestOverlap = o;
      best = &a;
    }
  }
  if (best == nullptr) {
    long long nearest = std::numeric_limits<long long>::max();
    for (const QRect& a : areas) {
      const long long d = Distance(frame, a);
      if (d < nearest) {
        nearest = d;
        best = &a;
      }
    }
  }
  const QRect& area = *best;
  QRect r = frame;
  r.moveLeft(std::max(area.left(), std::min(r.left(), area.right() - r.width() + 1)));
  r.moveTop(std::max(area.top(), std::min(r.top(), area.bottom() - r.height() + 1)));
  return r;
}

QList<QRect> AvailableScreenAreas() {
  QList<QRect> areas;
  for (const QScreen* s : QGuiApplication::screens()) areas.push_back(s->availableGeometry());
  return areas;
}

}  // namespace pelsok::ui
