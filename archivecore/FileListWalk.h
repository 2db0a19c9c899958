// The folder walk of one file-list expansion: searches a folder for a mask,
// keeps what passes the attribute and date filters, and descends into
// subfolders as the r and p options say.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "archivecore/ArchiverOptions.h"
#include "archivecore/FileListDate.h"
#include "platform/FileSystem.h"

namespace pelsok::filelist {

// Order of the result: locale-aware, ignoring case; names equal but for
// case are both kept, in byte order.
struct TextLocaleLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

class TFileListWalker {
 public:
  // Reads a, r, p and ji of o while walking; o must outlive the walker.
  TFileListWalker(const TArchiverOptions& o, TDateRange range);

  // Adds the matching files of dir (the current folder when empty), and with
  // recursion those of every folder below it, depth first, each folder's
  // files before its subfolders. Each folder is read once. A folder that is
  // already on the current walk path (reached again through a symbolic
  // link) adds nothing, so link loops end.
  void WalkDirectory(const std::string& dir, const std::string& mask);

  // The path to list for an entry found in dir: its short name with ji at 1
  // or more when it has one, otherwise its long name.
  std::string EntryPath(const std::string& dir, const platform::FindData& entry) const;
  const std::string& EntryName(const platform::FindData& entry) const;

  // The names found so far, sorted; a name found earlier was not added again.
  const std::set<std::string, TextLocaleLess>& Result() const { return result_; }

 private:
  using FolderId = std::pair<std::uint64_t, std::uint64_t>;  // device, inode
  bool OnWalkPath(const FolderId& id) const;
  // Whether subfolders are searched for this mask (r, and p for plain names).
  bool Recurses(const std::string& mask) const;
  // Last-write times are read only when a date bound applies.
  bool WantsTimes() const;
  void AddFile(const std::string& prefix, const platform::FindData& entry);

  const TArchiverOptions& o_;
  const TDateRange range_;
  const std::uint32_t fileAttr_;
  std::set<std::string, TextLocaleLess> result_;
  std::vector<FolderId> walkPath_;  // the folders being walked, outermost first
};

}  // namespace pelsok::filelist
