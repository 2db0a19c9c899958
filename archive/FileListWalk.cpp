#include "archive/FileListWalk.h"

#include <algorithm>

#include "archive/FileListPath.h"
#include "archive/FileListSearch.h"
#include "platform/StringList.h"
#include "platform/Wildcard.h"

namespace pelsok::filelist {

namespace {

bool IsDotEntry(const std::string& name) { return name == "." || name == ".."; }

}  // namespace

bool TextLocaleLess::operator()(const std::string& a, const std::string& b) const {
  return platform::CompareTextLocale(a, b) < 0;
}

TFileListWalker::TFileListWalker(const TArchiverOptions& o, TDateRange range)
    : o_(o), range_(range), fileAttr_(o.a >= 1 ? kAllFiles : kPlainFiles) {}

bool TFileListWalker::OnWalkPath(const FolderId& id) const {
  return std::find(walkPath_.begin(), walkPath_.end(), id) != walkPath_.end();
}

std::string TFileListWalker::EntryPath(const std::string& dir,
                                       const platform::FindData& entry) const {
  const bool useShort = o_.ji >= 1 && !entry.ShortName.empty();
  return JoinPath(dir, useShort ? entry.ShortName : entry.Name);
}

void TFileListWalker::WalkDirectory(const std::string& dir, const std::string& mask) {
  TSearchRec files;
  int rc = SafeFindFirst(JoinPath(dir, mask), fileAttr_, files);
  if (rc == 0 && OnWalkPath({files.FolderDevice(), files.FolderInode()})) return;
  for (; rc == 0; rc = files.FindNext()) {
    if (IsDotEntry(files.Entry.Name)) continue;
    if (range_.InDateRange(FileTimeToDateTime(files.Entry.LastWriteTime)))
      result_.insert(EntryPath(dir, files.Entry));
  }
  files.FindClose();

  if (o_.r < 1 || (o_.p >= 1 && !platform::HasWildcard(mask))) return;

  TSearchRec folders;
  rc = SafeFindFirst(JoinPath(dir, "*.*"), kDirectorySearch, folders);
  if (rc != 0) return;
  const FolderId self{folders.FolderDevice(), folders.FolderInode()};
  if (OnWalkPath(self)) return;
  walkPath_.push_back(self);
  for (; rc == 0; rc = folders.FindNext()) {
    const platform::FindData& entry = folders.Entry;
    if ((entry.Attributes & platform::faDirectory) == 0 || IsDotEntry(entry.Name)) continue;
    WalkDirectory(EntryPath(dir, entry), mask);
  }
  walkPath_.pop_back();
}

}  // namespace pelsok::filelist
