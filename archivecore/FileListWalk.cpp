#include "archivecore/FileListWalk.h"

#include <algorithm>

#include "archivecore/FileListPath.h"
#include "archivecore/FileListSearch.h"
#include "platform/StringList.h"
#include "platform/Wildcard.h"

namespace pelsok::filelist {

namespace {

bool IsDotEntry(const std::string& name) { return name == "." || name == ".."; }

}  // namespace

bool TextLocaleLess::operator()(const std::string& a, const std::string& b) const {
  const int c = platform::CompareTextLocale(a, b);
  // Names that differ only in case are two files on a case-sensitive file
  // system: both are kept, in byte order.
  return c != 0 ? c < 0 : a < b;
}

TFileListWalker::TFileListWalker(const TArchiverOptions& o, TDateRange range)
    : o_(o), range_(range), fileAttr_(o.a >= 1 ? kAllFiles : kPlainFiles) {}

bool TFileListWalker::OnWalkPath(const FolderId& id) const {
  return std::find(walkPath_.begin(), walkPath_.end(), id) != walkPath_.end();
}

const std::string& TFileListWalker::EntryName(const platform::FindData& entry) const {
  return o_.ji >= 1 && !entry.ShortName.empty() ? entry.ShortName : entry.Name;
}

std::string TFileListWalker::EntryPath(const std::string& dir,
                                       const platform::FindData& entry) const {
  return JoinPath(dir, EntryName(entry));
}

bool TFileListWalker::WantsTimes() const { return range_.From != 0 || range_.To != 0; }

bool TFileListWalker::Recurses(const std::string& mask) const {
  return o_.r >= 1 && (o_.p < 1 || platform::HasWildcard(mask));
}

void TFileListWalker::AddFile(const std::string& prefix, const platform::FindData& entry) {
  if (range_.InDateRange(FileTimeToDateTime(entry.LastWriteTime)))
    result_.insert(prefix + EntryName(entry));
}

void TFileListWalker::WalkDirectory(const std::string& dir, const std::string& mask) {
  // dir with the delimiter it needs before a name; empty for the current folder.
  const std::string prefix = JoinPath(dir, "");

  TSearchRec search;
  if (!Recurses(mask)) {
    for (int rc = SafeFindFirst(prefix + mask, fileAttr_, search, WantsTimes()); rc == 0;
         rc = search.FindNext()) {
      if (!IsDotEntry(search.Entry.Name)) AddFile(prefix, search.Entry);
    }
    return;
  }

  // With recursion one read of the folder serves both the files that match
  // the mask and the subfolders (hidden ones included, whatever a says);
  // the files are taken first, then each subfolder is walked in turn.
  int rc = SafeFindFirst(prefix + "*.*", fileAttr_ | kDirectorySearch, search, WantsTimes());
  if (rc != 0) return;
  const FolderId self{search.FolderDevice(), search.FolderInode()};
  if (OnWalkPath(self)) return;
  std::vector<std::string> subfolders;
  for (; rc == 0; rc = search.FindNext()) {
    const platform::FindData& entry = search.Entry;
    if (IsDotEntry(entry.Name)) continue;
    if ((entry.Attributes & platform::faDirectory) != 0) {
      subfolders.push_back(EntryName(entry));
    } else if (PassesAttributeFilter(entry.Attributes, fileAttr_) &&
               platform::MatchesMask(entry.Name, mask)) {
      AddFile(prefix, entry);
    }
  }
  search.FindClose();

  walkPath_.push_back(self);
  for (const std::string& name : subfolders) WalkDirectory(prefix + name, mask);
  walkPath_.pop_back();
}

}  // namespace pelsok::filelist
