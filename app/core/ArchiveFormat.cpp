#include "app/core/ArchiveFormat.h"

#include <cctype>

#include "app/core/DataSave.h"
#include "platform/Registry.h"

namespace pelsok::app {
namespace {

constexpr TArchiveFormat kFormats[] = {
    {"lzh", ".LZH", atLha, "&LZH"},
    {"zip", ".ZIP", atZip, "&ZIP"},
    {"tgz", ".TGZ", atTgz, "T&GZ (tar + gzip)"},
    {"tbz", ".TBZ", atBZ2, "T&BZ (tar + bzip2)"},
    {"tar", ".TAR", atTar, "&TAR"},
    {"cab", ".CAB", atCab, "&CAB"},
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::span<const TArchiveFormat> ArchiveFormats() { return kFormats; }

std::optional<TArchiveFormat> FindArchiveFormat(const std::string& name) {
  const std::string wanted = Lower(name);
  for (const auto& f : kFormats)
    if (wanted == f.Name) return f;
  return std::nullopt;
}

std::string ArchiveFormatNames() {
  std::string names;
  for (const auto& f : kFormats) names += (names.empty() ? "" : ", ") + std::string(f.Name);
  return names;
}

TArchiveFormat LoadArchiveFormat() {
  platform::TRegistry reg;
  if (!reg.OpenKey(kSettingsKey, true)) return kFormats[0];
  const std::string stored = reg.ReadString("Format", "Format", "LZH");
  reg.CloseKey();
  return FindArchiveFormat(stored).value_or(kFormats[0]);
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
