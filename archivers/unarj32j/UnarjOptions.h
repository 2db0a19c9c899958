// What an LHA-form command line asks of the ARJ library.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/CommandLine.h"

namespace unarj {

struct UnarjOptions {
  char command = 0;  // x e t l v
  std::string archive;
  std::string baseDir;  // where to extract, with its trailing '/'; empty: the current folder
  std::vector<std::string> files;   // member masks; none: every member
  std::optional<bool> keepFolders;  // -x0 / -x1; unset: x keeps them, e does not
  bool overwriteAlways = false;     // -c1

  bool KeepFolders() const { return keepFolders.value_or(command == 'x'); }
};

// The switch names of the LHA command line; the ones not read here are ignored.
const std::vector<std::string>& KnownSwitches();

// Throws arc::Failure(kBadCommand) for an unknown command, a missing
// archive name or a malformed value of a switch it reads.
UnarjOptions ReadOptions(const arc::CommandLine& line);

}  // namespace unarj
