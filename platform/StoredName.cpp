#include "platform/StoredName.h"

#include "platform/CodePage.h"

namespace platform {

std::vector<std::string> StoredNameParts(std::string_view path) {
  std::vector<std::string> parts;
  std::string cur;
  const auto flush = [&] {
    if (!cur.empty() && cur != "." && cur != "..") parts.push_back(cur);
    cur.clear();
  };
  for (std::size_t pos = 0; pos < path.size();) {
    const std::size_t len = CharLength(path, pos);
    if (len == 1 && (path[pos] == '/' || path[pos] == '\\')) {
      flush();
    } else {
      cur.append(path.substr(pos, len));
    }
    pos += len;
  }
  flush();
  return parts;
}

std::vector<std::string> StoredFolderParts(const std::string& folder, const std::string& baseDir) {
  if (!baseDir.empty() && folder.compare(0, baseDir.size(), baseDir) == 0)
    return StoredNameParts(std::string_view(folder).substr(baseDir.size()));
  return StoredNameParts(folder);
}

std::string JoinStoredName(const std::vector<std::string>& parts) {
  std::string s;
  for (const auto& p : parts) s += (s.empty() ? "" : "/") + p;
  return s;
}

std::string StoredName(std::string_view path, bool keepFolders) {
  std::vector<std::string> parts = StoredNameParts(path);
  if (parts.empty()) return std::string();
  return keepFolders ? JoinStoredName(parts) : parts.back();
}

}  // namespace platform
