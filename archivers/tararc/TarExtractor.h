// Extracts the members of a tar archive through the shared safe extractor:
// nothing outside the base folder, links only inside it, no devices, no
// set-id bits, existing files replaced only as the rules say.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/Progress.h"
#include "common/Report.h"
#include "common/SafeExtractor.h"

namespace tararc {

struct ExtractSettings {
  std::string baseDir;             // empty: the current folder
  arc::ExtractRules rules;         // withFolders, overwriteAlways, stripAbsolute, linksInside
  std::vector<std::string> masks;  // member masks; empty: every member
  bool checkAllFirst = false;      // refuse the whole archive when any member is unsafe
};

// Extracts the archive in fd from offset on. Writes one line per member to
// report and returns an arc::Result: the most serious outcome met (errors
// over warnings), kNotArchive for an archive we cannot read,
// kNothingMatched when no member matched, kCancelled when progress asked to
// stop (the member being written is dropped; earlier ones stay).
std::int32_t ExtractArchive(int fd, std::uint64_t offset, const std::string& displayName,
                            const ExtractSettings& settings, arc::Report& report,
                            arc::Progress& progress);

// Decodes the matching members without writing them, each member's data
// handed to the calling thread's read walk (arc::MemberReading) with the
// holes of a sparse member as zeros; checks the gzip stream first. The work
// is bounded by the sizes the archive declares. Results as ExtractArchive.
std::int32_t TestArchive(int fd, std::uint64_t offset, const std::string& displayName,
                         const std::vector<std::string>& masks, arc::Report& report,
                         arc::Progress& progress);

}  // namespace tararc
