#include "app/text/IntegerText.h"

#include <cstdint>
#include <string>

#include "platform/Exceptions.h"

namespace pelsok::app {

bool TryStrToInt(std::string_view s, int& value) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return false;
  std::int64_t v = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return false;
    v = v * base + d;
    if (v > 0x80000000LL) return false;
  }
  if (negative) v = -v;
  if (v > 0x7FFFFFFFLL) {
    // Hexadecimal texts wrap like the 32-bit value they spell.
    if (base != 16 || v > 0xFFFFFFFFLL) return false;
    v -= 0x100000000LL;
  }
  value = static_cast<int>(v);
  return true;
}

int StrToInt(std::string_view text) {
  int v = 0;
  if (!TryStrToInt(text, v)) platform::ThrowNotAnInteger(std::string(text));
  return v;
}

}  // namespace pelsok::app
