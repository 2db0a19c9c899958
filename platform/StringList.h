// A list of 8-bit strings, unsorted, or sorted with duplicates ignored in the
// locale-aware order that ignores case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Locale-aware comparison ignoring case; <0, 0, >0.
int CompareTextLocale(std::string_view a, std::string_view b);

class TStringList {
 public:
  TStringList() = default;
  // A sorted list keeps its lines in CompareTextLocale order and ignores a
  // line that compares equal to one already present.
  explicit TStringList(bool sorted) : sorted_(sorted) {}

  bool Sorted() const { return sorted_; }
  std::size_t Count() const { return lines_.size(); }
  bool Empty() const { return lines_.empty(); }
  const std::string& operator[](std::size_t i) const { return lines_.at(i); }
  void Set(std::size_t i, std::string line);
  const std::vector<std::string>& Lines() const { return lines_; }
  auto begin() const { return lines_.begin(); }
  auto end() const { return lines_.end(); }

  // Appends (unsorted) or inserts in order (sorted); returns the index, or
  // the index of the equal line already present.
  std::size_t Add(std::string line);
  void Delete(std::size_t i);
  void Clear() { lines_.clear(); }
  // Sorted lists: index of a line equal to s, found by bisection.
  bool Find(std::string_view s, std::size_t& index) const;
  int IndexOf(std::string_view s) const;
  // Replaces the lines by those of other (this list's own sorting applies).
  void Assign(const TStringList& other);

  // Every line followed by CR LF.
  std::string Text() const;
  // Replaces the lines by the lines of text, split at CR LF, lone CR or lone
  // LF; a break at the very end adds no empty line.
  void SetText(std::string_view text);

 private:
  bool sorted_ = false;
  std::vector<std::string> lines_;
};

}  // namespace platform
