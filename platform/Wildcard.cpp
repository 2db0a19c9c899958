#include "Wildcard.h"

namespace platform {

namespace {

char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Iterative '*' / '?' matcher with one backtrack point: linear enough for
// file names and never recursive.
bool Match(std::string_view name, std::string_view mask) {
  std::size_t n = 0, m = 0;
  std::size_t starM = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (m < mask.size() && (mask[m] == '?' || Fold(mask[m]) == Fold(name[n]))) {
      ++m;
      ++n;
    } else if (starM != std::string_view::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*" || mask == "*") return true;
  if (Match(name, mask)) return true;
  // A mask ending in ".*" also takes names without an extension, and a mask
  // ending in "." matches a name with none ("*." finds "README").
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
      name.find('.') == std::string_view::npos) {
    return Match(name, mask.substr(0, mask.size() - 2));
  }
  if (!mask.empty() && mask.back() == '.' && name.find('.') == std::string_view::npos) {
    return Match(name, mask.substr(0, mask.size() - 1));
  }
  return false;
}

bool HasWildcard(std::string_view mask) {
  return mask.find_first_of("*?") != std::string_view::npos;
}

}  // namespace platform
