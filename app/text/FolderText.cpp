#include "app/text/FolderText.h"

#include <vector>

#include "platform/CodePage.h"
#include "platform/Paths.h"

namespace pelsok::app {

std::string FolderWithDelimiter(const std::string& folder) {
  if (platform::EndsWithChar(folder, platform::kPathDelim)) return folder;
  return folder + platform::kPathDelim;
}

std::string MinimizeName(const std::string& path,
                         const std::function<bool(const std::string&)>& fits) {
  if (fits(path)) return path;
  const char d = platform::kPathDelim;
  const bool rooted = !path.empty() && path[0] == d;
  std::vector<std::string> parts;
  std::string cur;
  for (std::size_t i = rooted ? 1 : 0; i < path.size(); ++i) {
    if (path[i] == d) {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += path[i];
    }
  }
  parts.push_back(cur);
  const std::string head = rooted ? std::string(1, d) : std::string();
  std::string text = path;
  for (std::size_t drop = 1; drop < parts.size(); ++drop) {
    text = head + "...";
    for (std::size_t i = drop; i < parts.size(); ++i) text += d + parts[i];
    if (fits(text)) return text;
  }
  return text;
}

}  // namespace pelsok::app
