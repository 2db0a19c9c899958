// The viewer's search: the lines of one archive's members that a pattern
// matches (a fixed string unless a regular expression is asked for), as
// rows of member, line number and text, and a matching line shown in its
// context. Both read the members through the library's read entry, writing
// nothing to disk, on the calling thread: progress and cancel go through
// the caller's TProgressScope.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelsok::app {

struct TSearchRequest {
  std::string Pattern;
  bool Regex = false;  // an extended regular expression; else a fixed string
  bool IgnoreCase = false;
};

struct TSearchHit {
  std::string Member;
  std::uint64_t Line = 0;  // from 1
  std::string Text;
};

struct TSearchOutcome {
  std::vector<TSearchHit> Hits;  // in archive order, at most kMaxSearchHits
  std::vector<std::string> Errors;
  bool Cut = false;  // more lines matched than are kept
  bool Cancelled = false;
};

inline constexpr std::size_t kMaxSearchHits = 10000;

// Throws std::invalid_argument with the reason for a bad pattern.
void CheckSearchPattern(const TSearchRequest& request);

// Throws std::invalid_argument with the reason for a bad pattern.
TSearchOutcome SearchMembers(const std::string& archive, const TSearchRequest& request);

// "12 行が見つかりました (3 ファイル)。" and what was cut, cancelled or failed.
std::string SearchSummary(const TSearchOutcome& outcome);

// The lines around one line of a member, each "  123  text", the line
// itself marked "> ". Lines are cut at kContextLineBytes.
struct TMemberContext {
  std::string Text;
  std::string Note;  // what part of the member is shown
  std::uint64_t FirstLine = 0;
  bool Found = false;  // the member had that line
};

inline constexpr std::uint64_t kContextLines = 20;  // before and after the line
inline constexpr std::size_t kContextLineBytes = 2000;

// Raises an error naming the archive when it cannot be read.
TMemberContext ReadMemberContext(const std::string& archive, const std::string& member,
                                 std::uint64_t line);

}  // namespace pelsok::app
