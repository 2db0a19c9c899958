// The one place that knows the byte rules of double-byte text. The active
// ANSI code page is UTF-8 on Linux; cp932 can be selected for the process.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

enum class CodePage { Utf8, Cp932 };

// The process's ANSI code page. Starts as UTF-8, or cp932 when the
// environment variable PELSOK_ACP is "932" or "cp932".
CodePage ActiveCodePage();
void SetActiveCodePage(CodePage cp);

// True when c starts a character of more than one byte.
bool IsLeadByte(unsigned char c, CodePage cp);
bool IsLeadByte(unsigned char c);

// Length in bytes of the character that starts at s[pos] (1 for a broken
// sequence or a lead byte at the end of the text).
std::size_t CharLength(std::string_view s, std::size_t pos, CodePage cp);
std::size_t CharLength(std::string_view s, std::size_t pos);

// Offset of the first byte of the last character of s; npos for empty s.
std::size_t LastCharStart(std::string_view s);

// Offset of the last byte of s that is one of delims and is a whole
// character (never a trail byte); npos when there is none.
std::size_t LastDelimiter(std::string_view delims, std::string_view s);

// True when s ends with the character ch as a whole character.
bool EndsWithChar(std::string_view s, char ch);

}  // namespace platform
