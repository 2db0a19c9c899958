#include "tests/support/ScopedCwd.h"

#include <filesystem>
#include <system_error>

namespace testing_support {

ScopedCwd::ScopedCwd(const std::string& folder)
    : previous_(std::filesystem::current_path().string()) {
  std::filesystem::current_path(folder);
}

ScopedCwd::~ScopedCwd() {
  std::error_code ec;
  std::filesystem::current_path(previous_, ec);
}

}  // namespace testing_support
