#include "tests/support/Tools.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace testing_support {

std::string FindTool(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    if (folder.empty()) continue;  // the current folder is not searched
    const std::filesystem::path candidate = std::filesystem::path(folder) / name;
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec) && access(candidate.c_str(), X_OK) == 0)
      return std::filesystem::absolute(candidate, ec).string();
  }
  return {};
}

}  // namespace testing_support
