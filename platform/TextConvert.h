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

}  // namespace platform
