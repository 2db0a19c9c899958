// File-name masks with the rules of the Windows directory search: '*' any run,
// '?' one character, "*.*" every name (also those without a dot), ASCII
// letters compared without case.
#pragma once

#include <string_view>

#include "CodePage.h"

namespace platform {

// Characters are those of the active ANSI code page, or of cp.
bool MatchesMask(std::string_view name, std::string_view mask);
bool MatchesMask(std::string_view name, std::string_view mask, CodePage cp);
bool HasWildcard(std::string_view mask);

}  // namespace platform
