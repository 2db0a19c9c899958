// The listing entries both ZIP libraries export ("UnZipOpenArchive",
// "UnZipFindFirst", "UnZipFindNext", "UnZipCloseArchive"): each handle
// holds the entries read at open time and where FindNext goes on.
#pragma once

#include <cstdint>

#include "CentralDirectory.h"
#include "common/ArchiverApi.h"
#include "common/HandleTable.h"
#include "common/MemberListing.h"

namespace zipcore {

using Listing = arc::MemberListing<ZipEntry>;

// The listings of both libraries (masks match the entry's name).
arc::HandleTable<Listing>& Listings();
ArcHandle ListingOpen(const char* archiveName);
// 1 when the file opens as a ZIP archive, else 0.
std::int32_t ListingCheck(const char* archiveName);

}  // namespace zipcore
