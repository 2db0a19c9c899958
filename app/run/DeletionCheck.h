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
};

// archive is bound to its format. With entries (the members a run listed),
// gives each the checksum its log is compared with before it goes: the
// listing's CRC-16 where the format keeps one, else the CRC-32 of what an
// extraction beside the archive gave back. Without entries (a test of the
// archive alone), the library's test command, or an extraction into a
// temporary folder for a format that has none.
TDeletionCheck CheckBeforeDeletion(TArchiveFile& archive, std::vector<TListedEntry>* entries,
                                   ArcWnd wnd);

// The checksum a format's listing gives a member (CRC-16 of an LZH member),
// or none when its logs are compared with what extraction gave back.
std::optional<TMemberSum> ListedSum(const TArchiveFile& archive, const TArchiveEntryInfo& info);

}  // namespace pelsok::app
