// The not-given value of every string option: one NUL character, distinct
// from the empty string.
#pragma once

#include <string>

namespace pelsok {

inline const std::string NoValue(1, '\0');  // NOLINT(readability-identifier-naming): its own name

inline bool IsNoValue(const std::string& s) { return s.size() == 1 && s[0] == '\0'; }

}  // namespace pelsok
