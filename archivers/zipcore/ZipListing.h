// The listing entries both ZIP libraries export ("UnZipOpenArchive",
// "UnZipFindFirst", "UnZipFindNext", "UnZipCloseArchive"): each handle
// holds the entries read at open time and where FindNext goes on.
#pragma once

#include <cstdint>

#include "common/ArchiverApi.h"

namespace zipcore {

ArcHandle ListingOpen(const char* archiveName);
std::int32_t ListingClose(ArcHandle handle);
std::int32_t ListingFindFirst(ArcHandle handle, const char* wildName, TArchiveEntryInfo* info);
std::int32_t ListingFindNext(ArcHandle handle, TArchiveEntryInfo* info);
// 1 when the file opens as a ZIP archive, else 0.
std::int32_t ListingCheck(const char* archiveName);

}  // namespace zipcore
