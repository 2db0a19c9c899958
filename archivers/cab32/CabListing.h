// The state behind one listing handle: the cabinet's entries, read once at
// open time, and the position of the last find.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "Cabinet.h"
#include "common/ArchiverApi.h"

namespace cab {

struct ListedEntry {
  CabEntry entry;
  std::uint32_t compressedShare = 0;  // estimate: the entry's share of the cabinet
};

class CabListing {
 public:
  explicit CabListing(const Cabinet& cabinet);

  // false when no (further) entry matches.
  bool FindFirst(const char* wildName, TArchiveEntryInfo& info);
  bool FindNext(TArchiveEntryInfo& info);

 private:
  bool FindFrom(std::size_t start, TArchiveEntryInfo& info);

  std::vector<ListedEntry> entries_;
  std::string wild_;
  std::size_t next_ = 0;
};

// Fills the record for one entry (unused bytes zero).
void FillEntryInfo(const ListedEntry& e, TArchiveEntryInfo& info);

}  // namespace cab
