#include "FileMode.h"

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::optional<TFileMode> FileModeOf(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
  return TFileMode{static_cast<std::uint32_t>(st.st_mode & 07777),
                   static_cast<std::uint32_t>(st.st_uid), static_cast<std::uint32_t>(st.st_gid)};
}

bool SetFileMode(const std::string& path, std::uint32_t mode) {
  return ::chmod(path.c_str(), static_cast<mode_t>(mode & 07777)) == 0;
}

bool SetFileOwner(const std::string& path, std::uint32_t owner, std::uint32_t group) {
  if (::chown(path.c_str(), static_cast<uid_t>(owner), static_cast<gid_t>(group)) == 0) return true;
  return ::chown(path.c_str(), static_cast<uid_t>(-1), static_cast<gid_t>(group)) == 0;
}

TScopedCreationMask::TScopedCreationMask(std::uint32_t allowed)
    : previous_(static_cast<std::uint32_t>(::umask(0))) {
  ::umask(static_cast<mode_t>((previous_ | ~allowed) & 0777));
}

TScopedCreationMask::~TScopedCreationMask() { ::umask(static_cast<mode_t>(previous_)); }

}  // namespace platform
