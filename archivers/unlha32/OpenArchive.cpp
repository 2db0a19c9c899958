#include "OpenArchive.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/ArchiverApi.h"
#include "common/Failure.h"
#include "common/Messages.h"

namespace unlha {

OpenArchive::OpenArchive(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0)
    throw arc::Failure(arc::kNotArchive,
                       arc::msg::CannotOpen(arc::msg::Quoted(path), std::strerror(errno)));
  index_ = lzh::ReadArchiveOrSfxIndex(fd_, path);
  if (!index_.ok) {
    ::close(fd_);
    fd_ = -1;
    throw arc::Failure(arc::kNotArchive, index_.message);
  }
}

OpenArchive::~OpenArchive() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace unlha
