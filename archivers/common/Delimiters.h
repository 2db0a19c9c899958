// Command lines may name folders with the Windows delimiter '\'; on this
// platform it becomes '/'. Only whole characters count, so the trail byte
// 0x5C of a double-byte character in the active code page stays as it is.
#pragma once

#include <string>
#include <string_view>

namespace arc {

std::string ToPlatformDelimiters(std::string_view s);
// True when the last whole character is '/' or '\'.
bool EndsWithDelimiter(std::string_view s);

}  // namespace arc
