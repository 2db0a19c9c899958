#include "app/ui/FormPlacement.h"

#include <QWidget>

#include "app/ui/ScreenFit.h"

namespace pelsok::ui {

TFormPlacement::TFormPlacement(QWidget& window, std::string name)
    : window_(window), name_(std::move(name)), normal_(Current()) {}

bool TFormPlacement::IsWindowVisible() const { return window_.isVisible(); }

QRect TFormPlacement::Current() const {
  return QRect(window_.pos(), window_.frameGeometry().size());
}

void TFormPlacement::Track() {
  if (!(window_.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) normal_ = Current();
}

winplace::TWindowPlacement TFormPlacement::GetPlacement() const {
  winplace::TWindowPlacement p;
  const Qt::WindowStates state = window_.windowState();
  QRect normal = normal_;
  if (state & Qt::WindowMinimized) {
    p.showCmd = winplace::SW_SHOWMINIMIZED;
  } else if (state & Qt::WindowMaximized) {
    p.showCmd = winplace::SW_SHOWMAXIMIZED;
  } else {
    p.showCmd = winplace::SW_SHOWNORMAL;
    normal = Current();
  }
  p.ptMinPosition = {-1, -1};
  p.ptMaxPosition = {-1, -1};
  p.rcNormalPosition = {normal.left(), normal.top(), normal.left() + normal.width(),
                        normal.top() + normal.height()};
  return p;
}

void TFormPlacement::SetPlacement(const winplace::TWindowPlacement& p) {
  const auto& r = p.rcNormalPosition;
  if (window_.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))
    window_.setWindowState(Qt::WindowNoState);
  // A placement stored on a screen that is gone comes back onto one of today's.
  const QRect stored(r.left, r.top, r.right - r.left, r.bottom - r.top);
  const QRect fitted = FitOntoScreens(stored, AvailableScreenAreas());
  window_.move(fitted.topLeft());
  normal_ = fitted;
  switch (p.showCmd) {
    case winplace::SW_HIDE:
      break;
    case winplace::SW_SHOWMINIMIZED:
      window_.showMinimized();
      break;
    default:
      window_.showNormal();
      break;
  }
}

}  // namespace pelsok::ui
