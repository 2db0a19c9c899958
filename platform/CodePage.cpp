#include "CodePage.h"

#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

CodePage InitialCodePage() {
  const char* env = std::getenv("PELSOK_ACP");
  if (env != nullptr && (std::strcmp(env, "932") == 0 || strcasecmp(env, "cp932") == 0)) {
    return CodePage::Cp932;
  }
  return CodePage::Utf8;
}

CodePage& Active() {
  static CodePage cp = InitialCodePage();
  return cp;
}

// Expected length of a UTF-8 sequence from its first byte; 1 for a stray byte.
std::size_t Utf8SequenceLength(unsigned char c) {
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 1;
}

}  // namespace

CodePage ActiveCodePage() { return Active(); }
void SetActiveCodePage(CodePage cp) { Active() = cp; }

bool IsLeadByte(unsigned char c, CodePage cp) {
  if (cp == CodePage::Cp932) return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
  return Utf8SequenceLength(c) > 1;
}

bool IsLeadByte(unsigned char c) { return IsLeadByte(c, ActiveCodePage()); }

std::size_t CharLength(std::string_view s, std::size_t pos, CodePage cp) {
  const auto c = static_cast<unsigned char>(s[pos]);
  if (cp == CodePage::Cp932) {
    return (IsLeadByte(c, cp) && pos + 1 < s.size()) ? 2 : 1;
  }
  const std::size_t want = Utf8SequenceLength(c);
  if (want == 1 || pos + want > s.size()) return 1;
  for (std::size_t k = 1; k < want; ++k) {
    if ((static_cast<unsigned char>(s[pos + k]) & 0xC0) != 0x80) return 1;
  }
  return want;
}

std::size_t CharLength(std::string_view s, std::size_t pos) {
  return CharLength(s, pos, ActiveCodePage());
}

std::size_t LastCharStart(std::string_view s) {
  if (s.empty()) return std::string_view::npos;
  const CodePage cp = ActiveCodePage();
  std::size_t pos = 0;
  std::size_t last = 0;
  while (pos < s.size()) {
    last = pos;
    pos += CharLength(s, pos, cp);
  }
  return last;
}

std::size_t LastDelimiter(std::string_view delims, std::string_view s) {
  const CodePage cp = ActiveCodePage();
  std::size_t found = std::string_view::npos;
  for (std::size_t pos = 0; pos < s.size();) {
    const std::size_t len = CharLength(s, pos, cp);
    if (len == 1 && delims.find(s[pos]) != std::string_view::npos) found = pos;
    pos += len;
  }
  return found;
}

bool EndsWithChar(std::string_view s, char ch) {
  const std::size_t last = LastCharStart(s);
  return last != std::string_view::npos && last == s.size() - 1 && s[last] == ch;
}

}  // namespace platform
