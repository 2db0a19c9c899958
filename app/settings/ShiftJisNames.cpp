#include "app/settings/ShiftJisNames.h"

#include "app/settings/DataSave.h"
#include "platform/Registry.h"

namespace pelsok::app {

bool LoadShiftJisNames() {
  platform::TRegistry reg;
  if (!reg.OpenKey(kSettingsKey, true)) return false;
  const std::string stored = reg.ReadString("Format", "ShiftJisNames", "No");
  reg.CloseKey();
  return stored == "Yes";
}

void SaveShiftJisNames(bool on) {
  platform::TRegistry reg;
  if (!reg.OpenKey(kSettingsKey, true)) return;
  reg.WriteString("Format", "ShiftJisNames", on ? "Yes" : "No");
  reg.CloseKey();
}

}  // namespace pelsok::app
