#include "OpenArjArchive.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "arj/ArjVolumes.h"
#include "common/ArchiverApi.h"
#include "common/Failure.h"
#include "common/Messages.h"

namespace unarj {

OpenArjArchive::OpenArjArchive(const std::string& path) : path_(path) {
  const int first = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (first < 0)
    throw arc::Failure(arc::kNotArchive,
                       arc::msg::CannotOpen(arc::msg::Quoted(path), std::strerror(errno)));
  ::close(first);
  index_ = arj::ReadVolumeSet(path);
  if (!index_.ok) throw arc::Failure(arc::kNotArchive, index_.message);
  for (const auto& volume : index_.volumes) {
    const int fd = ::open(volume.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      const std::string why = arc::msg::CannotOpen(arc::msg::Quoted(volume), std::strerror(errno));
      for (int open : fds_) ::close(open);
      throw arc::Failure(arc::kNotArchive, why);
    }
    fds_.push_back(fd);
  }
}

OpenArjArchive::~OpenArjArchive() {
  for (int fd : fds_) ::close(fd);
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
