#include "app/settings/ArchiveFormat.h"

#include <cctype>
#include <vector>

#include "app/settings/DataSave.h"
#include "archive/GetArchiverType.h"
#include "platform/Registry.h"

namespace pelsok::app {
namespace {

const std::vector<TArchiveFormat>& Formats() {
  static const std::vector<TArchiveFormat> formats = [] {
    std::vector<TArchiveFormat> all;
    for (const TBackendRow* row : WritableFormatRows())
      all.push_back({row->Name, row->WriteExtension, row->Type, row->Title, row});
    return all;
  }();
  return formats;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::span<const TArchiveFormat> ArchiveFormats() { return Formats(); }

std::optional<TArchiveFormat> FindArchiveFormat(const std::string& name) {
  const std::string wanted = Lower(name);
  for (const auto& f : Formats())
    if (wanted == f.Name) return f;
  return std::nullopt;
}

std::string ArchiveFormatNames() {
  std::string names;
  for (const auto& f : Formats()) names += (names.empty() ? "" : ", ") + std::string(f.Name);
  return names;
}

TArchiveFormat LoadArchiveFormat() {
  platform::TRegistry reg;
  if (!reg.OpenKey(kSettingsKey, true)) return Formats().front();
  const std::string stored = reg.ReadString("Format", "Format", "LZH");
  reg.CloseKey();
  return FindArchiveFormat(stored).value_or(Formats().front());
}

void SaveArchiveFormat(const TArchiveFormat& format) {
  platform::TRegistry reg;
  if (!reg.OpenKey(kSettingsKey, true)) return;
  std::string upper = format.Name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  reg.WriteString("Format", "Format", upper);
  reg.CloseKey();
}

}  // namespace pelsok::app
