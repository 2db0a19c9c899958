#include "app/text/SpinRules.h"

#include <algorithm>

#include "app/text/IntegerText.h"

namespace pelsok::app {

bool SpinAcceptsChar(char32_t c, char32_t decimalSeparator) {
  return (c >= U'0' && c <= U'9') || c == U'+' || c == U'-' || c == decimalSeparator;
}

std::string SpinStep(const std::string& text, int delta, int min, int max) {
  int v = min;
  if (!TryStrToInt(text, v)) v = min;
  const long long next = static_cast<long long>(v) + delta;
  return std::to_string(std::clamp<long long>(next, min, max));
}

std::string SpinCheckOnExit(const std::string& text, int min, int max) {
  int v = 0;
  if (text.empty() || !TryStrToInt(text, v)) return text;
  if (v < min) return std::to_string(min);
  if (v > max) return std::to_string(max);
  return text;
}

}  // namespace pelsok::app
