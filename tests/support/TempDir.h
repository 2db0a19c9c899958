// A fresh temporary folder, removed with everything in it when the object
// goes; folders a test made unreadable get their permissions back first.
#pragma once

#include <string>

namespace testing_support {

class TempDir {
 public:
  // Throws std::runtime_error when no folder can be made.
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // Path() + "/" + relative.
  std::string operator/(const std::string& relative) const;

  // Writes content to relative, making its folders; returns its path.
  std::string Write(const std::string& relative, const std::string& content) const;
  // Makes the folder relative and its parents; returns its path.
  std::string Folder(const std::string& relative) const;
  // A symbolic link at relative pointing to target, taken as given; returns its path.
  std::string Link(const std::string& relative, const std::string& target) const;

 private:
  std::string path_;
};

}  // namespace testing_support
