// An archive file opened for reading, with its member index.
#pragma once

#include <string>

#include "lzharc/ArchiveReader.h"

namespace unlha {

class OpenArchive {
 public:
  // Throws arc::Failure(kNotArchive) when the file is missing, not an LZH
  // archive or damaged.
  explicit OpenArchive(const std::string& path);
  ~OpenArchive();
  OpenArchive(const OpenArchive&) = delete;
  OpenArchive& operator=(const OpenArchive&) = delete;

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  const lzh::ArchiveIndex& index() const { return index_; }

 private:
  std::string path_;
  int fd_ = -1;
  lzh::ArchiveIndex index_;
};

}  // namespace unlha
