#include "Paths.h"

#include <vector>

#include "CodePage.h"
#include "FileSystem.h"

namespace platform {

bool IsPathDelimiter(std::string_view s, std::size_t pos) {
  if (pos >= s.size() || s[pos] != kPathDelim) return false;
  // A delimiter byte never stands inside a double-byte character.
  std::size_t p = 0;
  while (p < pos) p += CharLength(s, p);
  return p == pos;
}

std::string IncludeTrailingPathDelimiter(std::string_view s) {
  std::string out(s);
  if (!EndsWithChar(s, kPathDelim)) out += kPathDelim;
  return out;
}

std::string ExcludeTrailingPathDelimiter(std::string_view s) {
  std::string out(s);
  if (out.size() > 1 && EndsWithChar(out, kPathDelim)) out.pop_back();
  return out;
}

std::string ExtractFilePath(std::string_view s) {
  const std::size_t d = LastDelimiter(kPathDelimiters, s);
  return d == std::string_view::npos ? std::string() : std::string(s.substr(0, d + 1));
}

std::string ExtractFileName(std::string_view s) {
  const std::size_t d = LastDelimiter(kPathDelimiters, s);
  return d == std::string_view::npos ? std::string(s) : std::string(s.substr(d + 1));
}

std::string ExtractFileExt(std::string_view s) {
  std::string delims(kPathDelimiters);
  delims += '.';
  const std::size_t d = LastDelimiter(delims, s);
  if (d == std::string_view::npos || s[d] != '.') return std::string();
  return std::string(s.substr(d));
}

std::string ChangeFileExt(std::string_view s, std::string_view ext) {
  const std::string old = ExtractFileExt(s);
  std::string out(s.substr(0, s.size() - old.size()));
  out += ext;
  return out;
}

std::string ExpandFileName(std::string_view s) {
  std::string full;
  if (!s.empty() && s[0] == kPathDelim) {
    full = std::string(s);
  } else {
    full = IncludeTrailingPathDelimiter(GetCurrentDir()) + std::string(s);
  }
  // Fold ".", ".." and repeated delimiters; keep a trailing delimiter.
  const bool trailing = full.size() > 1 && full.back() == kPathDelim;
  std::vector<std::string> parts;
  std::size_t pos = 0;
  while (pos <= full.size()) {
    std::size_t next = full.find(kPathDelim, pos);
    if (next == std::string::npos) next = full.size();
    std::string part = full.substr(pos, next - pos);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(std::move(part));
    }
    pos = next + 1;
  }
  std::string out;
  for (const auto& p : parts) {
    out += kPathDelim;
    out += p;
  }
  if (out.empty() || trailing) out += kPathDelim;
  return out;
}

}  // namespace platform
