// Finds the lines of a text that a search pattern matches, as grep does:
// a fixed string, a basic or an extended regular expression (PCRE2 with
// its JIT; a basic one is read as grep reads it, \( \) \{ \} \| \+ \?
// being the operators), optionally ignoring case (Unicode case folding).
// A fixed string without -i is looked for with memmem, no regex engine.
// The text is UTF-8; invalid bytes never match a character and never fail.
// One matcher per thread: it keeps its match state.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pelsok::app {

enum class TPatternKind { Basic, Extended, Fixed };

struct TMatchOptions {
  TPatternKind Kind = TPatternKind::Basic;
  bool IgnoreCase = false;
};

// A line of the text: [Start, End), End before its line break.
struct TLineSpan {
  std::size_t Start = 0;
  std::size_t End = 0;
};

class TLineMatcher {
 public:
  // Throws std::invalid_argument with PCRE2's reason for a bad pattern.
  TLineMatcher(const std::string& pattern, TMatchOptions options);
  ~TLineMatcher();
  TLineMatcher(const TLineMatcher&) = delete;
  TLineMatcher& operator=(const TLineMatcher&) = delete;

  // The first matching line of text that starts at or after from (from is
  // the start of a line); lines end in '\n', the last one may not.
  std::optional<TLineSpan> NextLine(std::string_view text, std::size_t from);

 private:
  struct TRegex;
  std::string fixed_;
  std::unique_ptr<TRegex> regex_;
};

// A basic regular expression as PCRE2 spells it.
std::string BasicToPcre(std::string_view pattern);

}  // namespace pelsok::app
