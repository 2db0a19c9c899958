#include "tests/support/TempDir.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "tests/support/Files.h"

namespace testing_support {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "pelsok-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("cannot make a temporary folder from " + pattern + ": " +
                             std::strerror(errno));
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  for (auto it = fs::recursive_directory_iterator(
           path_, fs::directory_options::skip_permission_denied, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(path_, ec);
}

std::string TempDir::operator/(const std::string& relative) const { return path_ + "/" + relative; }

std::string TempDir::Write(const std::string& relative, const std::string& content) const {
  const std::string path = *this / relative;
  WriteFile(path, content);
  return path;
}

std::string TempDir::Folder(const std::string& relative) const {
  const std::string path = *this / relative;
  fs::create_directories(path);
  return path;
}

std::string TempDir::Link(const std::string& relative, const std::string& target) const {
  const fs::path path = *this / relative;
  fs::create_directories(path.parent_path());
  fs::create_symlink(target, path);
  return path.string();
}

}  // namespace testing_support
