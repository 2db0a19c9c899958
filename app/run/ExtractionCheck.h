// The check before logs go, for formats whose listing keeps no checksum
// that a log on disk can be compared with: the new archive is extracted
// into a fresh folder beside it, and each entry gets the CRC-32 of what came
// out for it. The deletion pass then compares that with each log, read
// again. The folder goes when the check ends; one left by a run that died
// midway goes at the next check of the same archive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/run/DeletionPass.h"
#include "archive/EntryTypes.h"
#include "archivecore/ArchiverType.h"

namespace pelsok::app {

struct TExtractionCheck {
  std::int32_t Result = 0;  // the library's result; kCannotWrite when no folder could be made
  std::string Report;       // the library's report
  // The library extracted the archive without error.
  bool Extracted() const { return Result == 0; }
};

// Entries whose file did not come out keep no checksum.
TExtractionCheck SumsByExtraction(const std::string& archiveName, TArchiverType type,
                                  std::vector<TListedEntry>& entries, ArcWnd wnd);

// A test for back ends without one: the archive is extracted into a fresh
// folder under the system's temporary folder, which then goes.
TExtractionCheck TestByExtraction(const std::string& archiveName, TArchiverType type, ArcWnd wnd);

// Removes the check folders a run that died midway left beside the archive
// (the run's lock is held, so any there is a dead run's).
void RemoveStaleCheckFolders(const std::string& archiveName);

// The folder prefix of the check's folders for an archive (tests look for leftovers).
std::string ExtractionCheckPrefix(const std::string& archiveName);

}  // namespace pelsok::app
