// Conversions between the code pages the system meets: UTF-8 (the Linux ANSI
// code page) and cp932 (names in archives made for Japanese Windows tools).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

bool IsValidUtf8(std::string_view s);
// True when s is a well-formed cp932 byte sequence.
bool IsValidCp932(std::string_view s);
// nullopt when s cannot be converted.
std::optional<std::string> Cp932ToUtf8(std::string_view s);
std::optional<std::string> Utf8ToCp932(std::string_view s);

// Between the active ANSI code page (CodePage.h), in which file names are
// spelled on disk and on command lines, and UTF-8, in which the archiver
// libraries hand back names and reports. Unchanged under the UTF-8 code
// page, and for text that is not valid in the code page it comes from or
// has no form in the one it goes to.
std::string AnsiToUtf8(std::string_view s);
std::string Utf8ToAnsi(std::string_view s);

}  // namespace platform
