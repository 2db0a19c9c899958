// Searches the members of archives for lines, as grep searches files: each
// archive's members are decoded through its library's read entry (nothing
// is written to disk), archives are searched on the worker pool, and what
// each one gives is handed back in archive order, its members in archive
// order. A damaged member is reported and searched no further; the other
// members and archives are still searched.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/text/LineMatcher.h"

namespace pelsok::app {

struct TGrepRequest {
  std::string Pattern;
  TMatchOptions Match;
  bool CountOnly = false;  // -c: one count per member
  bool NamesOnly = false;  // -l: the names of members with a matching line
  std::string MemberMask;  // empty: every member
  int Threads = 0;         // 0: one per core
};

// The lines of one archive, ready to be written.
struct TArchiveHits {
  std::string Out;                  // standard output's text
  std::vector<std::string> Errors;  // one message per line (names not yet escaped)
  bool Found = false;               // some line matched
  bool Failed = false;              // the archive or a member could not be read whole
  bool Stopped = false;             // the caller's progress listener cancelled the read
};

// Spells the "ARCHIVE:MEMBER" part of a line; the front end escapes names.
using TGrepPrefix =
    std::function<std::string(const std::string& archive, const std::string& member)>;

// The archives a path names: itself when it is a file; for a folder, every
// file in it (in name order) whose content a back end recognises, or whose
// extension names a format (a damaged archive is reported, not passed over).
// Throws platform::Exception when the path names neither.
std::vector<std::string> GrepArchivesOf(const std::string& path);

// Searches one archive on the calling thread: the library's progress goes
// to the caller's TProgressScope, which may cancel the read.
// Throws std::invalid_argument for a bad pattern, before any search.
TArchiveHits GrepArchive(const std::string& archive, const TGrepRequest& request,
                         const TGrepPrefix& prefix);

// Searches archives (names as given) and calls take for each in order.
// Throws std::invalid_argument for a bad pattern, before any search.
void GrepArchives(const std::vector<std::string>& archives, const TGrepRequest& request,
                  const TGrepPrefix& prefix, const std::function<void(TArchiveHits&)>& take);

}  // namespace pelsok::app
