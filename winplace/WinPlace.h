// TWinPlace remembers its owner window's placement in the per-user registry:
// one REG_BINARY value named owner name + component name under KeyName.
#pragma once

#include <string>

#include "platform/Exceptions.h"
#include "winplace/PlacementWindow.h"

namespace winplace {

class EWinPlaceError : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

class TWinPlace {
 public:
  // The component is named name ("WinPlace1") and works on window, which
  // must outlive it.
  TWinPlace(IPlacementWindow& window, std::string name);

  const std::string& Name() const { return name_; }

  // One key for every instance in the process; empty until set.
  static const std::string& KeyName();
  static void SetKeyName(const std::string& key);

  // The registry value this instance uses.
  std::string ValueName() const;

  // Applies the stored placement; nothing when the key or the value is
  // missing or shorter than the record. A hidden window is placed, not shown.
  void RestorePlacement();
  // Stores the window's placement, creating the key when missing.
  void SavePlacement();

 private:
  IPlacementWindow& window_;
  std::string name_;
};

}  // namespace winplace
