#include "RarVolumes.h"

#include <sys/stat.h>

#include <cctype>

namespace unrar {
namespace {

constexpr std::size_t kMaxVolumes = 1000;

bool IsDigits(const std::string& s, std::size_t from, std::size_t to) {
  if (from >= to) return false;
  for (std::size_t i = from; i < to; ++i)
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
  return true;
}

// Adds one to the decimal number in s[from, to), keeping its width unless it
// overflows ("09" → "10", "99" → "100"); "" when it is not a number.
std::string Increment(const std::string& s, std::size_t from, std::size_t to) {
  if (!IsDigits(s, from, to)) return {};
  std::string digits = s.substr(from, to - from);
  int i = static_cast<int>(digits.size()) - 1;
  for (; i >= 0; --i) {
    if (digits[i] != '9') {
      ++digits[i];
      break;
    }
    digits[i] = '0';
  }
  if (i < 0) digits.insert(digits.begin(), '1');
  return s.substr(0, from) + digits + s.substr(to);
}

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
  if (s.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[s.size() - tail.size() + i])) != tail[i])
      return false;
  return true;
}

bool IsRegularFile(const std::string& name) {
  struct stat st;
  return ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::string NextVolumeName(const std::string& name) {
  const std::size_t slash = name.find_last_of('/');
  const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || dot < base) return {};
  // name.partN.rar
  if (EndsWithNoCase(name, ".rar")) {
    const std::size_t partDot = name.find_last_of('.', dot - 1);
    if (partDot != std::string::npos && partDot >= base && dot - partDot > 5 &&
        EndsWithNoCase(name.substr(0, partDot + 5), ".part")) {
      std::string next = Increment(name, partDot + 5, dot);
      if (!next.empty()) return next;
    }
    // name.rar → name.r00 (the letter keeps the case of the extension's 'r')
    return name.substr(0, dot + 2) + "00";
  }
  const std::string ext = name.substr(dot + 1);
  // name.r00 .. name.r99 → then name.s00 ...
  if (ext.size() == 3 && std::isalpha(static_cast<unsigned char>(ext[0])) && IsDigits(ext, 1, 3)) {
    if (ext[1] == '9' && ext[2] == '9')
      return ext[0] == 'z' || ext[0] == 'Z'
                 ? std::string()
                 : name.substr(0, dot + 1) + static_cast<char>(ext[0] + 1) + "00";
    return Increment(name, dot + 2, name.size());
  }
  // name.001 → name.002
  if (ext.size() >= 3 && IsDigits(ext, 0, ext.size())) return Increment(name, dot + 1, name.size());
  return {};
}

std::vector<std::string> VolumeSet(const std::string& first) {
  std::vector<std::string> set{first};
  std::string next = NextVolumeName(first);
  while (!next.empty() && set.size() < kMaxVolumes && IsRegularFile(next)) {
    set.push_back(next);
    next = NextVolumeName(next);
  }
  return set;
}

}  // namespace unrar
