#include "EntryMasks.h"

#include "common/Delimiters.h"
#include "platform/Wildcard.h"

namespace zipcore {

bool MatchesAny(const std::string& entryName, const std::vector<std::string>& masks) {
  if (masks.empty()) return true;
  std::string path = entryName;
  while (!path.empty() && path.back() == '/') path.pop_back();
  const auto slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  for (const auto& given : masks) {
    const std::string mask = arc::ToPlatformDelimiters(given);
    const bool whole = mask.find('/') != std::string::npos;
    if (platform::MatchesMask(whole ? path : name, mask)) return true;
  }
  return false;
}

}  // namespace zipcore
