// What a command line asks of the library, read from the parsed pieces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/CommandLine.h"
#include "common/Failure.h"

namespace unrar {

// This library's own result code, beside the shared ones of ArchiverApi.h:
// a member needs what the library cannot do (a password, a missing or
// earlier volume, RAR 1.5/2.0 methods, a later member of a solid RAR 2.9-4
// archive); it was not extracted.
constexpr std::int32_t kUnsupported = 0x8009;

struct RarOptions {
  char command = 0;  // 'x' 'e' 't' 'l' (written -x -e -t -l)
  std::string archive;
  std::string baseDir;  // with its trailing '/', empty when none
  std::vector<std::string> files;
  bool onlyNewer = false;    // -u: an existing file is replaced only by a newer member
  bool assumeYes = false;    // -y: without -u, existing files are replaced
  bool wholePath = false;    // -s: every mask is matched against the whole stored path
  bool stopAtFirst = false;  // -q: stop at the first member that fails
};

// The switch names the library knows (others are ignored).
const std::vector<std::string>& KnownSwitches();

// Throws arc::Failure(kBadCommand) for an unknown command or no archive.
RarOptions ReadOptions(const arc::CommandLine& line);

}  // namespace unrar
