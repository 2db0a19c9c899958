#include "TextConvert.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

#include "CodePage.h"

namespace platform {

namespace {

std::optional<std::string> Convert(const char* to, const char* from, std::string_view s) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  std::vector<char> buf(s.size() * 4 + 16);
  char* in = const_cast<char*>(s.data());
  std::size_t inLeft = s.size();
  bool ok = true;
  while (inLeft > 0) {
    char* outPtr = buf.data();
    std::size_t outLeft = buf.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buf.data(), buf.size() - outLeft);
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      ok = false;
      break;
    }
  }
  iconv_close(cd);
  if (!ok) return std::nullopt;
  return out;
}

}  // namespace

bool IsValidUtf8(std::string_view s) {
  for (std::size_t pos = 0; pos < s.size();) {
    const auto c = static_cast<unsigned char>(s[pos]);
    if (c < 0x80) {
      ++pos;
      continue;
    }
    const std::size_t len = CharLength(s, pos, CodePage::Utf8);
    if (len == 1) return false;
    // Reject overlong and surrogate forms that CharLength lets through.
    const auto c1 = static_cast<unsigned char>(s[pos + 1]);
    if (c == 0xE0 && c1 < 0xA0) return false;
    if (c == 0xED && c1 >= 0xA0) return false;
    if (c == 0xF0 && c1 < 0x90) return false;
    if (c == 0xF4 && c1 >= 0x90) return false;
    pos += len;
  }
  return true;
}

bool IsValidCp932(std::string_view s) {
  for (std::size_t pos = 0; pos < s.size();) {
    const auto c = static_cast<unsigned char>(s[pos]);
    if (IsLeadByte(c, CodePage::Cp932)) {
      if (pos + 1 >= s.size()) return false;
      const auto t = static_cast<unsigned char>(s[pos + 1]);
      if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
      pos += 2;
    } else {
      if (c == 0x80 || c == 0xA0 || c >= 0xFD) return false;
      ++pos;
    }
  }
  return true;
}

std::optional<std::string> Cp932ToUtf8(std::string_view s) { return Convert("UTF-8", "CP932", s); }
std::optional<std::string> Utf8ToCp932(std::string_view s) { return Convert("CP932", "UTF-8", s); }

std::string AnsiToUtf8(std::string_view s) {
  if (ActiveCodePage() != CodePage::Cp932) return std::string(s);
  if (auto utf8 = Cp932ToUtf8(s)) return *utf8;
  return std::string(s);
}

std::string Utf8ToAnsi(std::string_view s) {
  if (ActiveCodePage() != CodePage::Cp932 || !IsValidUtf8(s)) return std::string(s);
  if (auto cp932 = Utf8ToCp932(s)) return *cp932;
  return std::string(s);
}

}  // namespace platform
