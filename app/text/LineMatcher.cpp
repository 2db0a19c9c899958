#include "app/text/LineMatcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstring>
#include <stdexcept>

namespace pelsok::app {

struct TLineMatcher::TRegex {
  pcre2_code* Code = nullptr;
  pcre2_match_data* Match = nullptr;
  bool Jit = false;
  ~TRegex() {
    pcre2_match_data_free(Match);
    pcre2_code_free(Code);
  }
  // Start and end of the first match at or after from in subject, or false.
  bool Find(std::string_view subject, std::size_t from, std::size_t& start, std::size_t& end) {
    const auto* s = reinterpret_cast<PCRE2_SPTR>(subject.data());
    const int rc = Jit ? pcre2_jit_match(Code, s, subject.size(), from, 0, Match, nullptr)
                       : pcre2_match(Code, s, subject.size(), from, 0, Match, nullptr);
    if (rc < 0) return false;
    const PCRE2_SIZE* v = pcre2_get_ovector_pointer(Match);
    start = v[0];
    end = v[1];
    return true;
  }
};

std::string BasicToPcre(std::string_view p) {
  std::string out;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const char c = p[i];
    if (c == '[') {  // a bracket expression goes over as it is
      std::size_t j = i + 1;
      if (j < p.size() && p[j] == '^') ++j;
      if (j < p.size() && p[j] == ']') ++j;
      while (j < p.size() && p[j] != ']') ++j;
      out.append(p.substr(i, j + 1 - i));
      i = j;
    } else if (c == '\\' && i + 1 < p.size()) {
      const char n = p[++i];
      if (std::strchr("(){}|+?", n) != nullptr)
        out += n;
      else
        out.append({'\\', n});
    } else if (std::strchr("(){}|+?", c) != nullptr) {
      out.append({'\\', c});
    } else if (c == '*' && (out.empty() || out == "^")) {
      out += "\\*";  // a leading star is itself
    } else {
      out += c;
    }
  }
  return out;
}

TLineMatcher::TLineMatcher(const std::string& pattern, TMatchOptions options) {
  if (options.Kind == TPatternKind::Fixed && !options.IgnoreCase) {
    fixed_ = pattern;
    return;
  }
  std::uint32_t flags = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF;
  if (options.IgnoreCase) flags |= PCRE2_CASELESS;
  flags |= options.Kind == TPatternKind::Fixed ? PCRE2_LITERAL : PCRE2_UCP | PCRE2_MULTILINE;
  const std::string text = options.Kind == TPatternKind::Basic ? BasicToPcre(pattern) : pattern;
  regex_ = std::make_unique<TRegex>();
  int error = 0;
  PCRE2_SIZE offset = 0;
  regex_->Code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), flags,
                               &error, &offset, nullptr);
  if (regex_->Code == nullptr) {
    PCRE2_UCHAR message[256];
    pcre2_get_error_message(error, message, sizeof message);
    throw std::invalid_argument(std::string(reinterpret_cast<const char*>(message)));
  }
  regex_->Jit = pcre2_jit_compile(regex_->Code, PCRE2_JIT_COMPLETE) == 0;
  regex_->Match = pcre2_match_data_create_from_pattern(regex_->Code, nullptr);
  if (regex_->Match == nullptr) throw std::bad_alloc();
}

TLineMatcher::~TLineMatcher() = default;

std::optional<TLineSpan> TLineMatcher::NextLine(std::string_view text, std::size_t from) {
  const char* base = text.data();
  auto lineOf = [&](std::size_t at, std::size_t lower) {
    std::size_t start = at;
    while (start > lower && base[start - 1] != '\n') {
      const void* nl = memrchr(base + lower, '\n', start - lower);
      start =
          nl == nullptr ? lower : static_cast<std::size_t>(static_cast<const char*>(nl) - base) + 1;
    }
    const void* nl = std::memchr(base + at, '\n', text.size() - at);
    const std::size_t end =
        nl == nullptr ? text.size() : static_cast<std::size_t>(static_cast<const char*>(nl) - base);
    return TLineSpan{start, end};
  };
  while (from < text.size()) {
    if (!regex_) {
      const void* hit = memmem(base + from, text.size() - from, fixed_.data(), fixed_.size());
      if (hit == nullptr) return std::nullopt;
      return lineOf(static_cast<std::size_t>(static_cast<const char*>(hit) - base), from);
    }
    std::size_t start = 0, end = 0;
    if (!regex_->Find(text, from, start, end)) return std::nullopt;
    const TLineSpan line = lineOf(start, from);
    if (end <= line.End) return line;
    // The match ran over the line's end: only the line itself counts.
    std::size_t s2 = 0, e2 = 0;
    if (regex_->Find(text.substr(line.Start, line.End - line.Start), 0, s2, e2)) return line;
    from = line.End + 1;
  }
  return std::nullopt;
}

}  // namespace pelsok::app
