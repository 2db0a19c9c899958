#include "EntryMatch.h"

#include "platform/Wildcard.h"

namespace cab {

bool MatchesEntry(const std::string& entryName, const std::string& mask) {
  if (mask.empty()) return true;
  std::string m = mask;
  for (auto& c : m)
    if (c == '\\') c = '/';
  if (m.find('/') != std::string::npos) return platform::MatchesMask(entryName, m);
  const auto slash = entryName.rfind('/');
  return platform::MatchesMask(slash == std::string::npos ? entryName : entryName.substr(slash + 1),
                               m);
}

bool MatchesAnyEntry(const std::string& entryName, const std::vector<std::string>& masks) {
  if (masks.empty()) return true;
  for (const auto& m : masks)
    if (MatchesEntry(entryName, m)) return true;
  return false;
}

}  // namespace cab
