#include "app/text/OutputText.h"

#include <cstdio>

namespace pelsok::app {
namespace {

void Escape(std::string& out, unsigned char c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\x%02X", c);
  out += buf;
}

}  // namespace

std::string OutputName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    const bool c1 = c == 0xC2 && i + 1 < name.size() &&
                    static_cast<unsigned char>(name[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(name[i + 1]) <= 0x9F;
    if (c < 0x20 || c == 0x7F || c == '\\') {
      Escape(out, c);
    } else if (c1) {
      Escape(out, c);
      Escape(out, static_cast<unsigned char>(name[++i]));
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace pelsok::app
