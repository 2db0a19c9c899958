// What a command line asks of the library, read from the parsed pieces.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/CommandLine.h"

namespace unlha {

struct UnlhaOptions {
  char command = 0;  // a u x e d s l v t
  std::string archive;
  std::string baseDir;  // with its trailing '/', empty when none
  std::vector<std::string> files;
  int recursion = 0;                      // -r: 0 none, 1 and 2 search folders below
  bool keepFolders = false;               // -x1: stored names keep their folders
  bool includeHidden = false;             // -a: files whose names begin with '.'
  std::string workDir;                    // -w: temporary files go there
  bool skipNewerTest = false;             // -c: replace without comparing times
  std::string method;                     // -o5/-o6/-o7, -z1
  int effort = 0;                         // -jm1..-jm9
  int threads = 0;                        // -jt: packing threads, 0 one per core
  bool cp932Names = false;                // -k1: names stored as Shift-JIS
  std::optional<std::int64_t> notBefore;  // -jo: only files changed at or after
  std::optional<std::int64_t> notAfter;   // -job: only files changed before
};

// The switch names the library knows (unknown ones are ignored).
const std::vector<std::string>& KnownSwitches();

// Throws arc::Failure(kBadCommand) for an unknown command or a switch
// value it cannot use.
UnlhaOptions ReadOptions(const arc::CommandLine& line);

// "YYMMDD" or "YYMMDDhhmmss" (local time; years 80-99 are 19xx) to seconds
// since 1970; nullopt when malformed.
std::optional<std::int64_t> ParseDateBound(const std::string& text);

}  // namespace unlha
