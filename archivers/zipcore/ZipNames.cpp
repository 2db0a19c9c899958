#include "ZipNames.h"

#include "platform/TextConvert.h"

namespace zipcore {

std::string DecodeStoredName(std::string_view raw) {
  if (platform::IsValidUtf8(raw)) return std::string(raw);
  if (auto utf8 = platform::Cp932ToUtf8(raw)) return *utf8;
  std::string out;
  for (unsigned char c : raw) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

std::optional<std::string> EncodeCp932Name(std::string_view utf8) {
  return platform::Utf8ToCp932(utf8);
}

}  // namespace zipcore
