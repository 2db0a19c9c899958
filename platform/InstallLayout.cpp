#include "InstallLayout.h"

#include "FileSystem.h"
#include "Paths.h"

namespace platform {

std::string InstalledDataFolder() {
  const std::string exe = ExecutableDir();
  if (exe.empty()) return std::string();
  return IncludeTrailingPathDelimiter(ExpandFileName(exe + "../share/pelsok"));
}

}  // namespace platform
