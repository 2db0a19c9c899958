// The state behind one listing handle: the members of an opened archive and
// where FindNext goes on.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "arj/ArjArchive.h"
#include "common/ArchiverApi.h"

namespace unarj {

class ArjListing {
 public:
  explicit ArjListing(std::vector<arj::Member> members) : members_(std::move(members)) {}
  // Starts over with a wildcard (null or empty: every member).
  bool FindFirst(const char* wildName, TArchiveEntryInfo& info);
  bool FindNext(TArchiveEntryInfo& info);

 private:
  std::vector<arj::Member> members_;
  std::vector<std::string> masks_;
  std::size_t next_ = 0;
};

// Fills the whole record from a member; the name uses '/' between folders
// and is cut to 512 bytes (never inside a UTF-8 character).
void FillEntryInfo(const arj::Member& m, TArchiveEntryInfo& info);

}  // namespace unarj
