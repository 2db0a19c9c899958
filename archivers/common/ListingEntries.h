// The bodies of the find entries every library we ship exports the same
// way: its listings live in a HandleTable, and each offers
// bool FindFirst(const char* wildName, TArchiveEntryInfo&) and
// bool FindNext(TArchiveEntryInfo&). A bad handle, a null record or any
// failure answers -1 ("no entry"); nothing escapes the entry.
#pragma once

#include <cstdint>

#include "common/ArchiverApi.h"
#include "common/HandleTable.h"

namespace arc {

template <class Listing>
std::int32_t FindFirstEntry(HandleTable<Listing>& listings, ArcHandle handle, const char* wildName,
                            TArchiveEntryInfo* info) {
  Listing* listing = listings.Find(handle);
  if (listing == nullptr || info == nullptr) return -1;
  try {
    return listing->FindFirst(wildName, *info) ? 0 : -1;
  } catch (...) {
    return -1;
  }
}

template <class Listing>
std::int32_t FindNextEntry(HandleTable<Listing>& listings, ArcHandle handle,
                           TArchiveEntryInfo* info) {
  Listing* listing = listings.Find(handle);
  if (listing == nullptr || info == nullptr) return -1;
  try {
    return listing->FindNext(*info) ? 0 : -1;
  } catch (...) {
    return -1;
  }
}

}  // namespace arc
