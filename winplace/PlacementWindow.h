// What the placement component needs from its owner window. The user
// interface implements it; the component itself knows no window system.
#pragma once

#include <string>

#include "winplace/WindowPlacement.h"

namespace winplace {

class IPlacementWindow {
 public:
  virtual ~IPlacementWindow() = default;
  // The window's name (the first half of the stored value's name).
  virtual std::string WindowName() const = 0;
  virtual bool IsWindowVisible() const = 0;
  // The window's normal rectangle, show state and flags.
  virtual TWindowPlacement GetPlacement() const = 0;
  // Moves the window to the normal rectangle and applies the show command
  // (SW_HIDE places it without showing it).
  virtual void SetPlacement(const TWindowPlacement& placement) = 0;
};

}  // namespace winplace
