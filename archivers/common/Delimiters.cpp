#include "Delimiters.h"

#include "platform/CodePage.h"

namespace arc {

std::string ToPlatformDelimiters(std::string_view s) {
  std::string out(s);
  for (std::size_t pos = 0; pos < out.size();) {
    const std::size_t len = platform::CharLength(out, pos);
    if (len == 1 && out[pos] == '\\') out[pos] = '/';
    pos += len;
  }
  return out;
}

bool EndsWithDelimiter(std::string_view s) {
  return platform::EndsWithChar(s, '/') || platform::EndsWithChar(s, '\\');
}

}  // namespace arc
