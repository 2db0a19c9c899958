// Entry names as the ZIP libraries we ship read and write them.
//
// Reading: a name flagged as UTF-8 (general purpose bit 11), or replaced by
// its Unicode path extra field (0x7075), arrives as UTF-8 and is kept. A
// name without either that is not valid UTF-8 was written by an old
// Japanese Windows tool and is read as cp932; a name that is neither is
// read as CP437, the format's default, so distinct bytes stay distinct
// names. A name flagged UTF-8 that is not UTF-8 is read as if unflagged.
// Writing: UTF-8 with the flag for non-ASCII names, or cp932 without the
// flag (switch -k) for old Japanese Windows tools.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zipcore {

constexpr std::uint16_t kUnicodePathField = 0x7075;

// The Unicode path extra field's data for an entry stored under raw whose
// name is utf8: version 1, the CRC-32 of raw, then utf8.
std::string UnicodePathField(std::string_view raw, std::string_view utf8);

std::string DecodeStoredName(std::string_view raw);

// The cp932 bytes of a UTF-8 name; nullopt when some character has no
// cp932 form.
std::optional<std::string> EncodeCp932Name(std::string_view utf8);

}  // namespace zipcore
