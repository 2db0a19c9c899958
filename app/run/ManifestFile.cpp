#include "app/run/ManifestFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/run/Manifest.h"
#include "platform/FileSync.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace pelsok::app {
namespace {

std::string TemporaryName(const std::string& archiveName) {
  return platform::ExtractFilePath(archiveName) + "." + platform::ExtractFileName(archiveName) +
         ".tmp-manifest";
}

// Writes and syncs the whole text; 0 or the error number.
int WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    done += static_cast<std::size_t>(n);
  }
  return ::fsync(fd) == 0 ? 0 : errno;
}

}  // namespace

std::string WriteManifestFile(const std::string& archiveName, const std::string& text) {
  const std::string temporary = TemporaryName(archiveName);
  struct stat st {};
  const mode_t mode = ::stat(archiveName.c_str(), &st) == 0 ? (st.st_mode & 0666) : 0644;
  ::unlink(temporary.c_str());
  const int fd =
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return std::strerror(errno);
  int err = ::fchmod(fd, mode) == 0 ? 0 : errno;
  if (err == 0) err = WriteAll(fd, text);
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && ::rename(temporary.c_str(), ManifestName(archiveName).c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temporary.c_str());
    return std::strerror(err);
  }
  return platform::SyncFileAndFolder(ManifestName(archiveName));
}

std::optional<std::string> ReadManifestFile(const std::string& manifestName) {
  std::ifstream in(manifestName, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return text.str();
}

}  // namespace pelsok::app
