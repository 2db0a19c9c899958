#include "OpenArjArchive.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "UnarjFailure.h"
#include "common/ArchiverApi.h"
#include "common/Delimiters.h"
#include "platform/Wildcard.h"

namespace unarj {

OpenArjArchive::OpenArjArchive(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0)
    throw UnarjFailure(arc::kNotArchive, "cannot open " + path + ": " + std::strerror(errno));
  index_ = arj::ReadIndex(fd_, path);
  if (!index_.ok) {
    ::close(fd_);
    fd_ = -1;
    throw UnarjFailure(arc::kNotArchive, index_.message);
  }
}

OpenArjArchive::~OpenArjArchive() {
  if (fd_ >= 0) ::close(fd_);
}

bool MatchesAny(const lzh::EntryPath& path, const std::vector<std::string>& masks) {
  if (masks.empty()) return true;
  const std::string whole = path.Joined();
  const std::string name = path.Name();
  for (const std::string& given : masks) {
    const std::string mask = arc::ToPlatformDelimiters(given);
    if (mask.empty() || mask == "*" || mask == "*.*") return true;
    if (mask.find('/') != std::string::npos) {
      if (platform::MatchesMask(whole, mask)) return true;
    } else if (platform::MatchesMask(name, mask)) {
      return true;
    }
  }
  return false;
}

std::string ListedName(const arj::Member& m) {
  std::string name = m.path.Joined();
  if (m.header.IsDirectory()) name += "/";
  return name;
}

std::string MethodText(const arj::Header& h) {
  if (h.method > 9) return "-arj?-";
  return "-arj" + std::to_string(h.method) + "-";
}

}  // namespace unarj
