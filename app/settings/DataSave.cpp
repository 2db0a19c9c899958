#include "app/settings/DataSave.h"

#include "platform/Exceptions.h"
#include "platform/Registry.h"
#include "platform/StringList.h"

namespace pelsok::app {

std::string EncodeComboData(const std::vector<std::string>& kinds) {
  platform::TStringList list;
  for (const auto& k : kinds) list.Add(k);
  return list.Text();
}

std::vector<std::string> DecodeComboData(std::string_view text) {
  platform::TStringList list;
  list.SetText(text);
  return list.Lines();
}

void TDataSave::LoadSettings(TSettingsFields& fields) {
  platform::TRegistry reg;
  // A key that can be neither opened nor created: the fields stay as they are.
  if (!reg.OpenKey(kSettingsKey, true)) return;
  const std::string path = reg.ReadString("PathName", "PathName", fields.PathName);
  const std::string keta = reg.ReadString("Keta", "Keta", fields.Keta);
  const std::string combo = reg.ReadString("ComboData", "ComboData", EncodeComboData(fields.Kinds));
  fields.PathName = path;
  fields.Keta = keta;
  fields.Kinds = DecodeComboData(combo);
  reg.CloseKey();
}

void TDataSave::SaveSettings(const TSettingsFields& fields) {
  platform::TRegistry reg;
  // Losing the settings silently would surprise the user more than an error.
  if (!reg.OpenKey(kSettingsKey, true))
    throw platform::ERegistryException(
        platform::FormatText("'%s' の設定に失敗しました", {kSettingsKey}));
  reg.WriteString("PathName", "Pathname", fields.PathName);
  reg.WriteString("Keta", "Keta", fields.Keta);
  reg.WriteString("ComboData", "ComboData", EncodeComboData(fields.Kinds));
  reg.CloseKey();
}

}  // namespace pelsok::app
