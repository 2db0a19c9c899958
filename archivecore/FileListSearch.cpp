#include "archivecore/FileListSearch.h"

#include "platform/Paths.h"

namespace pelsok::filelist {

namespace {

constexpr std::uint32_t kFilteredAttributes =
    platform::faHidden | platform::faSysFile | platform::faVolumeID | platform::faDirectory;

}  // namespace

bool PassesAttributeFilter(std::uint32_t entryAttributes, std::uint32_t mask) {
  return (entryAttributes & kFilteredAttributes & ~mask) == 0;
}

int SafeFindFirst(const std::string& pattern, std::uint32_t attr, TSearchRec& search,
                  bool withTimes) {
  search.FindClose();
  search.attr_ = attr;
  search.folderKnown_ = false;
  if (!search.search_.Open(platform::ExtractFilePath(pattern), platform::ExtractFileName(pattern),
                           withTimes))
    return kNoFileFound;
  search.open_ = true;
  search.folderKnown_ = true;
  search.device_ = search.search_.FolderDevice();
  search.inode_ = search.search_.FolderInode();
  return search.SkipFiltered(search.search_.Next(search.Entry));
}

int TSearchRec::FindNext() {
  if (!open_) return kNoFileFound;
  return SkipFiltered(search_.Next(Entry));
}

int TSearchRec::SkipFiltered(bool found) {
  while (found && !PassesAttributeFilter(Entry.Attributes, attr_)) found = search_.Next(Entry);
  if (found) return 0;
  FindClose();
  return kNoFileFound;
}

void TSearchRec::FindClose() {
  if (open_) search_.Close();
  open_ = false;
}

}  // namespace pelsok::filelist
