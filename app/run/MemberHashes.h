// The SHA-256 of every member's data, read through the archive's member
// entry with nothing written to disk: what the manifest records and what its
// check compares.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "archive/ArchiveFile.h"

namespace pelsok::app {

struct TMemberHashes {
  std::int32_t Result = 0;  // the library's result for the whole walk
  std::string Report;       // the library's report
  // Each member that decoded whole, by its name as the archive lists it.
  std::map<std::string, std::string> Hashes;
  // Members that did not decode whole.
  std::map<std::string, std::int32_t> Failed;
};

// archive is bound to its format. Raises EArchiver when its library cannot
// read members this way, and what the archive component raises.
TMemberHashes HashMembers(TArchiveFile& archive);

}  // namespace pelsok::app
