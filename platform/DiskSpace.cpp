#include "DiskSpace.h"

#include <sys/statvfs.h>

#include <cerrno>
#include <cstring>

namespace platform {

std::optional<std::uint64_t> FreeSpace(const std::string& folder) {
  struct statvfs st {};
  if (::statvfs(folder.empty() ? "." : folder.c_str(), &st) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize;
}

std::string DiskFullReason() { return std::strerror(ENOSPC); }

}  // namespace platform
