#include "Exceptions.h"

namespace platform {

std::string FormatText(const std::string& pattern, std::initializer_list<std::string> args) {
  std::string out;
  auto arg = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && arg != args.end()) {
      out += *arg++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

void ThrowNotAnInteger(const std::string& text) {
  throw EConvertError(FormatText("'%s' は整数ではありません", {text}));
}

}  // namespace platform
