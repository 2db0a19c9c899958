// The directory search of the file-list expansion: a folder read with an
// attribute mask that works as an exclusion filter. An entry is skipped
// when it carries hidden, system, volume-label or directory attributes that
// the mask lacks: 0x21 keeps plain files, 0x27 also hidden and system files,
// 0x16 everything but volume labels.
#pragma once

#include <cstdint>
#include <string>

#include "archivecore/FileListDirReader.h"
#include "platform/FileSystem.h"

namespace pelsok::filelist {

inline constexpr std::uint32_t kPlainFiles = 0x21;       // read-only + archive
inline constexpr std::uint32_t kAllFiles = 0x27;         // ... + hidden + system
inline constexpr std::uint32_t kDirectorySearch = 0x16;  // directory + hidden + system

// What SafeFindFirst gives when no entry passes: the search found no file.
inline constexpr int kNoFileFound = 2;

bool PassesAttributeFilter(std::uint32_t entryAttributes, std::uint32_t mask);

// One filtered search. Closing is always safe, also when nothing was found.
class TSearchRec {
 public:
  platform::FindData Entry;  // the entry found last

  // Identity of the searched folder, known once the platform opened it.
  bool FolderKnown() const { return folderKnown_; }
  std::uint64_t FolderDevice() const { return device_; }
  std::uint64_t FolderInode() const { return inode_; }

  // 0 and the next passing entry in Entry, or kNoFileFound at the end
  // (the search is then closed).
  int FindNext();
  void FindClose();

 private:
  friend int SafeFindFirst(const std::string& pattern, std::uint32_t attr, TSearchRec& search,
                           bool withTimes);
  int SkipFiltered(bool found);

  TDirReader search_;
  std::uint32_t attr_ = 0;
  bool open_ = false;
  bool folderKnown_ = false;
  std::uint64_t device_ = 0;
  std::uint64_t inode_ = 0;
};

// Starts a search for pattern (folder and mask) and skips entries until one
// passes attr. 0 when one was found (in search.Entry); otherwise the search
// holds nothing open and the result is kNoFileFound. Without withTimes the
// entries' last-write times are 0.
int SafeFindFirst(const std::string& pattern, std::uint32_t attr, TSearchRec& search,
                  bool withTimes = true);

}  // namespace pelsok::filelist
