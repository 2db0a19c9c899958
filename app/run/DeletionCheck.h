// The check before logs go: whether every member of an archive comes back
// whole, done the way its format's row says (TMemberCheck). The window's
// run, `pelsok-cli --delete` and `pelsok-cli test` all check through this.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/run/DeletionPass.h"
#include "archive/ArchiveFile.h"

namespace pelsok::app {

struct TDeletionCheck {
  std::int32_t Result = 0;  // the library's result (arc::kCancelled when stopped)
  std::string Report;       // the library's report
  bool ByExtraction = false;
  // The check could not run (memory, permission, room for an extraction):
  // Report says why in its first line; nothing is known about the members.
  bool CouldNotRun = false;
};

// archive is bound to its format. Every member is decoded through the
// library's read entry, writing nothing to disk. With entries (the members
// a run listed), gives each the CRC-32 of what came back for it when its
// size is the listed one; the deletion pass compares that with its log.
// Without entries it is a test of the archive alone. A library without the
// read entry is checked as before: its test command (and the listing's
// CRC-16), or an extraction beside the archive.
TDeletionCheck CheckBeforeDeletion(TArchiveFile& archive, std::vector<TListedEntry>* entries,
                                   ArcWnd wnd);

// The checksum a format's listing gives a member (CRC-16 of an LZH member),
// or none when its logs are compared with what extraction gave back.
std::optional<TMemberSum> ListedSum(const TArchiveFile& archive, const TArchiveEntryInfo& info);

}  // namespace pelsok::app
