// The placement component's view of a top-level Qt window. It tracks the
// normal rectangle itself while the window is in its normal state, since a
// minimized window's own idea of it is not reliable under every window manager.
#pragma once

#include <QRect>
#include <string>

#include "winplace/PlacementWindow.h"

class QWidget;

namespace pelsok::ui {

class TFormPlacement : public winplace::IPlacementWindow {
 public:
  TFormPlacement(QWidget& window, std::string name);

  std::string WindowName() const override { return name_; }
  bool IsWindowVisible() const override;
  winplace::TWindowPlacement GetPlacement() const override;
  void SetPlacement(const winplace::TWindowPlacement& placement) override;

  // Called by the window on moves and resizes.
  void Track();

 private:
  QRect Current() const;
  QWidget& window_;
  std::string name_;
  QRect normal_;
};

}  // namespace pelsok::ui
