#include "OpenArchive.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "CommandFailure.h"
#include "common/ArchiverApi.h"
#include "common/Delimiters.h"
#include "platform/Wildcard.h"

namespace unlha {

OpenArchive::OpenArchive(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0)
    throw CommandFailure(arc::kNotArchive, "cannot open " + path + ": " + std::strerror(errno));
  index_ = lzh::ReadArchiveOrSfxIndex(fd_, path);
  if (!index_.ok) {
    ::close(fd_);
    fd_ = -1;
    throw CommandFailure(arc::kNotArchive, index_.message);
  }
}

OpenArchive::~OpenArchive() {
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

std::string RatioText(std::uint64_t packed, std::uint64_t original) {
  if (original == 0) return "  0.0%";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%5.1f%%",
                100.0 * static_cast<double>(packed) / static_cast<double>(original));
  return buf;
}

}  // namespace unlha
