#include "TempTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace filelist_test {

namespace fs = std::filesystem;

TempTree::TempTree() {
  std::string pattern = (fs::temp_directory_path() / "pelsok-filelist-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
}

TempTree::~TempTree() {
  std::error_code ec;
  // Folders made unreadable by a test get their permissions back first.
  for (auto it = fs::recursive_directory_iterator(
           root_, fs::directory_options::skip_permission_denied, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(root_, ec);
}

std::string TempTree::Path(const std::string& relative) const { return root_ + "/" + relative; }

void TempTree::File(const std::string& relative, std::int64_t seconds, long nanoseconds) {
  const fs::path path = Path(relative);
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << relative;
  const timespec times[2] = {{static_cast<time_t>(seconds), nanoseconds},
                             {static_cast<time_t>(seconds), nanoseconds}};
  if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
    throw std::runtime_error("utimensat failed");
}

void TempTree::Folder(const std::string& relative) { fs::create_directories(Path(relative)); }

void TempTree::Link(const std::string& relative, const std::string& target) {
  const fs::path path = Path(relative);
  fs::create_directories(path.parent_path());
  fs::create_symlink(target, path);
}

CurrentDirGuard::CurrentDirGuard(const std::string& dir) : previous_(fs::current_path().string()) {
  fs::current_path(dir);
}

CurrentDirGuard::~CurrentDirGuard() {
  std::error_code ec;
  fs::current_path(previous_, ec);
}

std::int64_t UtcTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  return static_cast<std::int64_t>(timegm(&tm));
}

}  // namespace filelist_test
