#include "OpenArchive.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "CommandFailure.h"
#include "common/ArchiverApi.h"

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

std::string RatioText(std::uint64_t packed, std::uint64_t original) {
  if (original == 0) return "  0.0%";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%5.1f%%",
                100.0 * static_cast<double>(packed) / static_cast<double>(original));
  return buf;
}

}  // namespace unlha
