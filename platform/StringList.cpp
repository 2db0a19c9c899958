#include "StringList.h"

#include <algorithm>
#include <string>

namespace platform {

namespace {

// Folds ASCII letters; other bytes (and every byte of a multi-byte
// character) compare by value, which keeps the order stable and total.
int FoldByte(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

}  // namespace

int CompareTextLocale(std::string_view a, std::string_view b) {
  // The order of the Windows comparison that ignores case: letters
  // without case, punctuation before digits before letters is already the
  // ASCII order for the characters file names use; bytes >= 0x80 after them.
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int ca = FoldByte(static_cast<unsigned char>(a[i]));
    const int cb = FoldByte(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

void TStringList::Set(std::size_t i, std::string line) {
  if (sorted_) {
    Delete(i);
    Add(std::move(line));
  } else {
    lines_.at(i) = std::move(line);
  }
}

bool TStringList::Find(std::string_view s, std::size_t& index) const {
  std::size_t lo = 0, hi = lines_.size();
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    const int c = CompareTextLocale(lines_[mid], s);
    if (c < 0) {
      lo = mid + 1;
    } else if (c > 0) {
      hi = mid;
    } else {
      index = mid;
      return true;
    }
  }
  index = lo;
  return false;
}

std::size_t TStringList::Add(std::string line) {
  if (!sorted_) {
    lines_.push_back(std::move(line));
    return lines_.size() - 1;
  }
  std::size_t index = 0;
  if (Find(line, index)) return index;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
  return index;
}

void TStringList::Delete(std::size_t i) {
  if (i >= lines_.size()) return;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
}

int TStringList::IndexOf(std::string_view s) const {
  if (sorted_) {
    std::size_t index = 0;
    return Find(s, index) ? static_cast<int>(index) : -1;
  }
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (CompareTextLocale(lines_[i], s) == 0) return static_cast<int>(i);
  }
  return -1;
}

void TStringList::Assign(const TStringList& other) {
  if (&other == this) return;
  Clear();
  for (const auto& line : other.lines_) Add(line);
}

std::string TStringList::Text() const {
  std::string out;
  for (const auto& line : lines_) {
    out += line;
    out += "\r\n";
  }
  return out;
}

void TStringList::SetText(std::string_view text) {
  Clear();
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    Add(std::string(text.substr(pos, end - pos)));
    if (end < text.size() && text[end] == '\r')
      ++end;
    else if (end < text.size() && text[end] == '\n') {
      pos = end + 1;
      continue;
    }
    if (end < text.size() && text[end] == '\n' && text[end - 1] == '\r') ++end;
    pos = end;
  }
}

}  // namespace platform
