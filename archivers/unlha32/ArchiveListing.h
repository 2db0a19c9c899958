// The state behind one listing handle: the members of an opened archive and
// where FindNext goes on.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/ArchiverApi.h"
#include "lzharc/ArchiveReader.h"

namespace unlha {

class ArchiveListing {
 public:
  explicit ArchiveListing(std::vector<lzh::ArchiveMember> members) : members_(std::move(members)) {}
  // Starts over with a wildcard (null or empty: every member).
  bool FindFirst(const char* wildName, TArchiveEntryInfo& info);
  bool FindNext(TArchiveEntryInfo& info);
  // The member the last find filled, or null.
  const lzh::ArchiveMember* Last() const { return last_; }

 private:
  std::vector<lzh::ArchiveMember> members_;
  std::vector<std::string> masks_;
  std::size_t next_ = 0;
  const lzh::ArchiveMember* last_ = nullptr;
};

// Fills the whole record from a member. Sizes above 4 GiB are clamped to
// 0xFFFFFFFF; the name uses '/' between folders, cut to 512 bytes.
void FillEntryInfo(const lzh::ArchiveMember& m, TArchiveEntryInfo& info);

}  // namespace unlha
