// The listing calls every one-library back end makes the same way: its
// binding lists the command entry first, then the open, close, find-first
// and find-next entries, in that order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "archivers/common/ArchiverApi.h"
#include "backends/LibraryBinding.h"

namespace pelsok::listing {

enum Entry : std::size_t { kCommand, kOpen, kClose, kFindFirst, kFindNext };

// The binding of a library that names its entries prefix and their role:
// prefix alone for the command entry, then prefix followed by "OpenArchive",
// "CloseArchive", "FindFirst" and "FindNext", then by each of more.
LibraryBinding Binding(std::string fileName, std::string missingMessage, const std::string& prefix,
                       std::initializer_list<const char*> more = {});

// Opens the archive by its full path; 0 when the library opened nothing.
ArcHandle Open(LibraryBinding& lib, ArcWnd wnd, const std::string& archiveName, std::uint32_t mode);
std::int32_t FindFirst(LibraryBinding& lib, ArcHandle handle, TArchiveEntryInfo& info,
                       const std::string& wildName);
// Only ever follows FindFirst, so the library is loaded already.
std::int32_t FindNext(LibraryBinding& lib, ArcHandle handle, TArchiveEntryInfo& info);
std::int32_t Close(LibraryBinding& lib, ArcHandle handle);

// The content check: whether the library opens the file as an archive (with
// window 0 and kContentCheckOpenMode); a missing library counts as no, and
// nothing raises.
bool OpensAsArchive(LibraryBinding& lib, const std::string& fileName);

}  // namespace pelsok::listing
