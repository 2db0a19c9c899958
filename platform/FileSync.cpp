#include "FileSync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Paths.h"

namespace platform {
namespace {

// Opens path (a file or a folder) read-only and syncs it; 0 or the error number.
int SyncPath(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
  if (fd < 0) return errno;
  const int rc = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  return rc;
}

}  // namespace

std::string SyncFileAndFolder(const std::string& path) {
  if (const int err = SyncPath(path, O_NOFOLLOW)) return std::strerror(err);
  std::string folder = ExtractFilePath(path);
  if (folder.empty()) folder = ".";
  if (const int err = SyncPath(folder, O_DIRECTORY)) return std::strerror(err);
  return {};
}

}  // namespace platform
