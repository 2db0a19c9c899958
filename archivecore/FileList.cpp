#include "archivecore/FileList.h"

#include "archivecore/FileListDate.h"
#include "archivecore/FileListPath.h"
#include "archivecore/FileListWalk.h"

namespace pelsok {

void ExpandFileList(TArchiverOptions& o, platform::TStringList& list) {
  using namespace filelist;

  // Both stamps are read before anything is searched: a malformed one leaves
  // the list and the options as they were.
  TDateRange range;
  range.From = ParseDateTime(o.jo);
  range.To = ParseDateTime(o.job);

  TFileListWalker walker(o, range);
  if (list.Empty()) {
    walker.WalkDirectory("", "*.*");
  } else {
    for (const std::string& item : list) {
      if (o.r >= 2 && IsDirectory(item)) {
        walker.WalkDirectory(item, "*.*");
      } else {
        const TItemParts parts = SplitItem(item);
        walker.WalkDirectory(parts.Dir, parts.Mask);
      }
    }
  }

  // The back end is to ask the library for neither recursion nor a date filter.
  o.r = -1;
  o.jo = NoValue;
  o.job = NoValue;
  o.p = 1;

  list.Clear();
  for (const std::string& name : walker.Result()) list.Add(name);
}

}  // namespace pelsok
