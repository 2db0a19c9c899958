#include "backends/ListingCalls.h"

#include <deque>

#include "backends/Archiver.h"
#include "platform/Paths.h"

namespace pelsok::listing {

LibraryBinding Binding(std::string fileName, std::string missingMessage, const std::string& prefix,
                       std::initializer_list<const char*> more) {
  // The names live as long as the bindings that cache them.
  static std::deque<std::string> names;
  std::vector<const char*> entries;
  for (const char* role : {"", "OpenArchive", "CloseArchive", "FindFirst", "FindNext"}) {
    names.push_back(prefix + role);
    entries.push_back(names.back().c_str());
  }
  for (const char* role : more) {
    names.push_back(prefix + role);
    entries.push_back(names.back().c_str());
  }
  return LibraryBinding(std::move(fileName), std::move(missingMessage), std::move(entries));
}

ArcHandle Open(LibraryBinding& lib, ArcWnd wnd, const std::string& archiveName,
               std::uint32_t mode) {
  auto open = lib.EntryAs<ArcOpenProc>(kOpen);
  return open(wnd, platform::ExpandFileName(archiveName).c_str(), mode);
}

std::int32_t FindFirst(LibraryBinding& lib, ArcHandle handle, TArchiveEntryInfo& info,
                       const std::string& wildName) {
  auto findFirst = lib.EntryAs<ArcFindFirstProc>(kFindFirst);
  return findFirst(handle, wildName.c_str(), &info);
}

std::int32_t FindNext(LibraryBinding& lib, ArcHandle handle, TArchiveEntryInfo& info) {
  auto findNext = lib.EntryAs<ArcFindNextProc>(kFindNext, true);
  return findNext(handle, &info);
}

std::int32_t Close(LibraryBinding& lib, ArcHandle handle) {
  auto close = lib.EntryAs<ArcCloseProc>(kClose);
  return close(handle);
}

bool OpensAsArchive(LibraryBinding& lib, const std::string& fileName) {
  try {
    lib.Load();
    const ArcHandle h = Open(lib, nullptr, fileName, kContentCheckOpenMode);
    if (h != 0) Close(lib, h);
    return h != 0;
  } catch (...) {
    return false;
  }
}

}  // namespace pelsok::listing
