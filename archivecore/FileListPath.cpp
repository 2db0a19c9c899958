#include "archivecore/FileListPath.h"

#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace pelsok::filelist {

namespace {

bool IsDelimiterChar(std::string_view s, std::size_t pos) {
  return platform::CharLength(s, pos) == 1 &&
         platform::kPathDelimiters.find(s[pos]) != std::string_view::npos;
}

}  // namespace

TItemParts SplitItem(std::string_view item) {
  const std::size_t pos = platform::LastDelimiter(platform::kPathDelimiters, item);
  if (pos == std::string_view::npos) return {"", std::string(item)};

  TItemParts parts{std::string(item.substr(0, pos + 1)), std::string(item.substr(pos + 1))};
  if (item[pos] == platform::kPathDelim && pos > 0) {
    const std::string_view before = item.substr(0, pos);
    if (!IsDelimiterChar(before, platform::LastCharStart(before))) parts.Dir.pop_back();
  }
  return parts;
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string path(dir);
  if (!dir.empty() && LastChar(dir) != platform::kPathDelim) path += platform::kPathDelim;
  path += name;
  return path;
}

char LastChar(std::string_view s) { return s[platform::LastCharStart(s)]; }

bool IsDirectory(const std::string& path) {
  const auto attributes = platform::GetFileAttributes(path);
  return attributes && (*attributes & platform::faDirectory) != 0;
}

}  // namespace pelsok::filelist
