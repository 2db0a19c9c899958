// The exported entries every library we ship spells the same way, around
// its own HandleTable of listings (see ListingEntries.h):
//
//   ARC_LISTING_ENTRIES(Unlha, unlha::Listings())
//     UnlhaCloseArchive, UnlhaFindFirst, UnlhaFindNext
//   ARC_PROGRESS_ENTRY(Unlha)   UnlhaSetProgressCallback
//   ARC_VERSION_ENTRY(Unlha, 100)   UnlhaGetVersion (major*100+minor)
//
// and the bodies of the open and check entries, which differ only in how
// the library reads its archive. Nothing escapes an entry.
#pragma once

#include <cstdint>
#include <memory>

#include "common/ArchiverApi.h"
#include "common/HandleTable.h"
#include "common/ListingEntries.h"
#include "common/Progress.h"

#define ARC_EXPORT extern "C" __attribute__((visibility("default")))

#define ARC_LISTING_ENTRIES(Prefix, listings)                                           \
  ARC_EXPORT std::int32_t Prefix##CloseArchive(ArcHandle handle) {                      \
    return (listings).Remove(handle) ? 0 : -1;                                          \
  }                                                                                     \
  ARC_EXPORT std::int32_t Prefix##FindFirst(ArcHandle handle, const char* wildName,     \
                                            TArchiveEntryInfo* info) {                  \
    return arc::FindFirstEntry((listings), handle, wildName, info);                     \
  }                                                                                     \
  ARC_EXPORT std::int32_t Prefix##FindNext(ArcHandle handle, TArchiveEntryInfo* info) { \
    return arc::FindNextEntry((listings), handle, info);                                \
  }

#define ARC_PROGRESS_ENTRY(Prefix)                                                                \
  ARC_EXPORT std::int32_t Prefix##SetProgressCallback(ArcProgressCallback callback, void* user) { \
    return arc::SetProgressCallback(callback, user);                                              \
  }

#define ARC_VERSION_ENTRY(Prefix, version) \
  ARC_EXPORT std::uint16_t Prefix##GetVersion(void) { return (version); }

namespace arc {

// The body of <Prefix>OpenArchive: open() gives the listing of the archive,
// or null when it is not one; its handle, or 0 for null or anything thrown.
template <class Listing, class Open>
ArcHandle OpenListingEntry(HandleTable<Listing>& listings, const char* archiveName, Open open) {
  if (archiveName == nullptr) return 0;
  try {
    std::unique_ptr<Listing> listing = open(archiveName);
    return listing ? listings.Add(std::move(listing)) : 0;
  } catch (...) {
    return 0;
  }
}

// The body of <Prefix>CheckArchive: 1 when readable(name) answers true, 0
// when it answers false or throws.
template <class Readable>
std::int32_t CheckArchiveEntry(const char* archiveName, Readable readable) {
  if (archiveName == nullptr) return 0;
  try {
    return readable(archiveName) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

}  // namespace arc
