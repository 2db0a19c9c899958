#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

TFileLock::TFileLock(const std::string& name) : lockName_(name + ".lock") {
  // The holder removes the lock file on release; a file locked after it
  // was removed is a stale one, so try again on the new file.
  for (int attempt = 0; attempt < 10; ++attempt) {
    const int fd = ::open(lockName_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
      errno_ = errno;
      error_ = std::strerror(errno_);
      return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int err = errno;
      ::close(fd);
      if (err == EWOULDBLOCK) {
        busy_ = true;
        error_ = "held by another run";
      } else {
        errno_ = err;
        error_ = std::strerror(err);
      }
      return;
    }
    struct stat held {
    }, named{};
    if (::fstat(fd, &held) == 0 && ::stat(lockName_.c_str(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
      fd_ = fd;
      return;
    }
    ::close(fd);
  }
  error_ = "the lock file keeps changing";
}

TFileLock::~TFileLock() {
  if (fd_ < 0) return;
  ::unlink(lockName_.c_str());
  ::close(fd_);
}

}  // namespace platform
