// The state of one listing handle: the archive's members, read once when it
// is opened, and the position of the find entries.
#pragma once

#include <string>
#include <vector>

#include "common/ArchiverApi.h"
#include "tararc/TarReader.h"

namespace tar32 {

class TarListing {
 public:
  // Throws tararc::ReadError when the file is no tar archive we read whole.
  explicit TarListing(const std::string& archiveName);

  bool FindFirst(const char* wildName, TArchiveEntryInfo& info);
  bool FindNext(TArchiveEntryInfo& info);

 private:
  std::vector<tararc::Member> members_;
  tararc::Compression compression_ = tararc::Compression::none;
  std::vector<std::string> masks_;
  std::size_t next_ = 0;
};

// Fills the whole record (unused bytes zero) for one member.
void FillEntryInfo(const tararc::Member& m, tararc::Compression c, TArchiveEntryInfo& info);

}  // namespace tar32
