// File-name masks with the rules of the Windows directory search: '*' any run,
// '?' one character, "*.*" every name (also those without a dot), ASCII
// letters compared without case.
#pragma once

#include <string_view>

namespace platform {

bool MatchesMask(std::string_view name, std::string_view mask);
bool HasWildcard(std::string_view mask);

}  // namespace platform
