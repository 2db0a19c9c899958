#include "common/EntryMasks.h"

#include "common/Delimiters.h"
#include "platform/TextConvert.h"
#include "platform/Wildcard.h"

namespace arc {

bool MatchesAnyMask(const std::string& storedName, const std::vector<std::string>& masks,
                    bool wholePath) {
  if (masks.empty()) return true;
  std::string whole = storedName;
  while (!whole.empty() && whole.back() == '/') whole.pop_back();
  const std::size_t slash = whole.find_last_of('/');
  const std::string name = slash == std::string::npos ? whole : whole.substr(slash + 1);
  for (const std::string& given : masks) {
    // The mask comes in the ANSI code page, stored names are UTF-8: the
    // delimiters are found in the first, the match is made in the second.
    const std::string mask = platform::AnsiToUtf8(ToPlatformDelimiters(given));
    if (mask.empty() || mask == "*" || mask == "*.*") return true;
    const bool path = wholePath || mask.find('/') != std::string::npos;
    if (platform::MatchesMask(path ? whole : name, mask, platform::CodePage::Utf8)) return true;
  }
  return false;
}

}  // namespace arc
