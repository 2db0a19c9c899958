#include "Wildcard.h"

#include "CodePage.h"

namespace platform {

namespace {

char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The same character: ASCII letters without case, other characters byte
// for byte.
bool SameChar(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a.size() == 1) return Fold(a[0]) == Fold(b[0]);
  return a == b;
}

// Iterative '*' / '?' matcher with one backtrack point: linear enough for
// file names and never recursive. It steps by whole characters of the
// active code page, so '?' takes a double-byte character as one.
bool Match(std::string_view name, std::string_view mask, CodePage cp) {
  std::size_t n = 0, m = 0;
  std::size_t starM = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    const std::size_t nLen = CharLength(name, n, cp);
    const std::size_t mLen = m < mask.size() ? CharLength(mask, m, cp) : 0;
    if (mLen == 1 && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (mLen == 1 && mask[m] == '?') {
      ++m;
      n += nLen;
    } else if (mLen && SameChar(name.substr(n, nLen), mask.substr(m, mLen))) {
      m += mLen;
      n += nLen;
    } else if (starM != std::string_view::npos) {
      m = starM + 1;
      starN += CharLength(name, starN, cp);
      n = starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
  return MatchesMask(name, mask, ActiveCodePage());
}

bool MatchesMask(std::string_view name, std::string_view mask, CodePage cp) {
  if (mask == "*.*" || mask == "*") return true;
  if (Match(name, mask, cp)) return true;
  // A mask ending in ".*" also takes names without an extension, and a mask
  // ending in "." matches a name with none ("*." finds "README").
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
      name.find('.') == std::string_view::npos) {
    return Match(name, mask.substr(0, mask.size() - 2), cp);
  }
  if (!mask.empty() && mask.back() == '.' && name.find('.') == std::string_view::npos) {
    return Match(name, mask.substr(0, mask.size() - 1), cp);
  }
  return false;
}

bool HasWildcard(std::string_view mask) {
  return mask.find_first_of("*?") != std::string_view::npos;
}

}  // namespace platform
