// A fresh temporary folder per test, with helpers to lay out files, folders
// and links in it and to set their last-write times.
#pragma once

#include <cstdint>
#include <string>

namespace filelist_test {

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& Root() const { return root_; }
  // Root() + "/" + relative.
  std::string Path(const std::string& relative) const;

  // Creates the file (and its folders) under the root, last written at the
  // given Unix time (seconds and nanoseconds, UTC).
  void File(const std::string& relative, std::int64_t seconds = 946728000, long nanoseconds = 0);
  void Folder(const std::string& relative);
  // A symbolic link at relative pointing to target (taken as given).
  void Link(const std::string& relative, const std::string& target);

 private:
  std::string root_;
};

// Changes the current folder for its lifetime.
class CurrentDirGuard {
 public:
  explicit CurrentDirGuard(const std::string& dir);
  ~CurrentDirGuard();
  CurrentDirGuard(const CurrentDirGuard&) = delete;
  CurrentDirGuard& operator=(const CurrentDirGuard&) = delete;

 private:
  std::string previous_;
};

// Unix time of a UTC calendar time.
std::int64_t UtcTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

}  // namespace filelist_test
