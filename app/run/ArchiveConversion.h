// Moves an archive onto another format: every member is extracted once into
// a private folder beside the archive and packed from there into the new
// archive, which is then extracted in turn and compared member by member
// with what came out of the old one (each file's size, CRC-32 and time, each
// link and folder; folders keep the times the old archive lists for them).
// Only then, when asked, does the old archive go. Any
// failure removes the new archive and the private folder and leaves the old
// archive byte for byte. Both archives' run locks are held throughout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "backends/BackendRows.h"
#include "backends/DllEntry.h"

namespace pelsok::app {

struct TConversionResult {
  bool Converted = false;  // the new archive is written and checked
  bool Skipped = false;    // the archive is in that format already: nothing done
  bool Replaced = false;   // the old archive was removed
  std::string NewName;
  std::uint64_t Files = 0;  // files (and links) carried over
  std::uint64_t OldSize = 0;
  std::uint64_t NewSize = 0;
  std::string Message;  // why not, when neither converted nor skipped
};

// The new archive's name: the old one with the format's extension in place
// of its own (".tar.gz" and the like taken whole).
std::string ConvertedName(const std::string& archiveName, const TBackendRow& format);

// Converts archiveName into format beside it; removes the old archive after
// the check when replace. Never raises for a failure of the archive itself:
// the result says why.
TConversionResult ConvertArchive(const std::string& archiveName, const TBackendRow& format,
                                 bool replace, ArcWnd wnd);

// The archives in folder (not below it) whose name a back end of this build
// reads, oldest first: by modification time, then by name.
std::vector<std::string> ArchivesInFolder(const std::string& folder);

}  // namespace pelsok::app
