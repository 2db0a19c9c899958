// Entry names as the ZIP libraries we ship read and write them.
//
// Reading: a name flagged as UTF-8 (general purpose bit 11), or replaced by
// its Unicode path extra field (0x7075), arrives as UTF-8 and is kept. A
// name without either that is not valid UTF-8 was written by an old
// Japanese Windows tool and is read as cp932; bytes that are neither
// become '?'.
// Writing: UTF-8 with the flag for non-ASCII names, or cp932 without the
// flag (switch -k) for old Japanese Windows tools.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zipcore {

std::string DecodeStoredName(std::string_view raw);

// The cp932 bytes of a UTF-8 name; nullopt when some character has no
// cp932 form.
std::optional<std::string> EncodeCp932Name(std::string_view utf8);

}  // namespace zipcore
