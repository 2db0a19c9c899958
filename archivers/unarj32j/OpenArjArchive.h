// An ARJ archive opened for reading, with its index, and the member masks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "arj/ArjArchive.h"

namespace unarj {

class OpenArjArchive {
 public:
  // Opens path and the volumes that follow it. Throws
  // arc::Failure(kNotArchive) when the file is missing, not an ARJ archive
  // or damaged.
  explicit OpenArjArchive(const std::string& path);
  ~OpenArjArchive();
  OpenArjArchive(const OpenArjArchive&) = delete;
  OpenArjArchive& operator=(const OpenArjArchive&) = delete;

  // The descriptor of the set's volume-th file.
  int fd(std::size_t volume) const { return fds_.at(volume); }
  const std::string& path() const { return path_; }
  const arj::Index& index() const { return index_; }

 private:
  std::string path_;
  std::vector<int> fds_;
  arj::Index index_;
};

// The member's name as listed: folders joined by '/', a folder ending in '/'.
std::string ListedName(const arj::Member& m);

// "-arj0-" to "-arj4-": the method as the listings show it.
std::string MethodText(const arj::Header& h);

}  // namespace unarj
