// Reads the entries of one folder for the file-list walk, in the shape of
// the platform's directory search (links reported as what they point to,
// dangling links skipped, names beginning with '.' hidden, the mask matched
// by the platform's rules), but without a status query per entry when the
// folder itself says what the entry is and no last-write time is wanted.
// A walk over a large tree spends most of its time in those queries.
#pragma once

#include <dirent.h>

#include <cstdint>
#include <string>

#include "platform/FileSystem.h"

namespace pelsok::filelist {

class TDirReader {
 public:
  TDirReader() = default;
  ~TDirReader();
  TDirReader(const TDirReader&) = delete;
  TDirReader& operator=(const TDirReader&) = delete;

  // Opens folder (the current folder when empty) for entries matching mask;
  // false when it cannot be read. withTimes asks for the last-write time of
  // every entry that is not a folder; otherwise it is 0.
  bool Open(const std::string& folder, const std::string& mask, bool withTimes);
  // The next matching entry ("." and ".." included); false at the end.
  // Attributes carry directory, archive and hidden, never read-only.
  bool Next(platform::FindData& entry);
  void Close();
  bool IsOpen() const { return dir_ != nullptr; }

  std::uint64_t FolderDevice() const { return device_; }
  std::uint64_t FolderInode() const { return inode_; }

 private:
  DIR* dir_ = nullptr;
  std::string mask_;
  bool withTimes_ = false;
  std::uint64_t device_ = 0;
  std::uint64_t inode_ = 0;
};

}  // namespace pelsok::filelist
