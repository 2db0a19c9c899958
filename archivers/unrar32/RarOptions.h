// What a command line asks of the library, read from the parsed pieces.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/CommandLine.h"

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

// A command that cannot go on: its result code and the message for the report.
class CommandFailure : public std::runtime_error {
 public:
  CommandFailure(std::int32_t result, const std::string& message)
      : std::runtime_error(message), result_(result) {}
  std::int32_t Result() const { return result_; }

 private:
  std::int32_t result_;
};

// Keeps the most serious of the results met so far (errors over warnings
// over success; the first error wins among errors).
inline void Worsen(std::int32_t& current, std::int32_t next) {
  if (next == 0) return;
  if (current == 0 || (current < 0x8000 && next >= 0x8000)) current = next;
}

// The switch names the library knows (others are ignored).
const std::vector<std::string>& KnownSwitches();

// Throws CommandFailure(kBadCommand) for an unknown command or no archive.
RarOptions ReadOptions(const arc::CommandLine& line);

}  // namespace unrar
