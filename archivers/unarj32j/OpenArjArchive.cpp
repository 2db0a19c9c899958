#include "OpenArjArchive.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/ArchiverApi.h"
#include "common/Failure.h"
#include "common/Messages.h"

namespace unarj {

OpenArjArchive::OpenArjArchive(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0)
    throw arc::Failure(arc::kNotArchive,
                       arc::msg::CannotOpen(arc::msg::Quoted(path), std::strerror(errno)));
  index_ = arj::ReadIndex(fd_, path);
  if (!index_.ok) {
    ::close(fd_);
    fd_ = -1;
    throw arc::Failure(arc::kNotArchive, index_.message);
  }
}

OpenArjArchive::~OpenArjArchive() {
  if (fd_ >= 0) ::close(fd_);
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
