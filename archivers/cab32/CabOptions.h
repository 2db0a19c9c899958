// What a command line asks of the library, read from the parsed pieces.
#pragma once

#include <string>
#include <vector>

#include "common/CommandLine.h"

namespace cab {

enum class Command { add, extract, test, makeSfx };

struct CabOptions {
  Command command = Command::add;
  std::string archive;
  std::string baseDir;  // with its trailing '/', empty when none
  std::vector<std::string> files;
  bool overwrite = false;  // -o: replace existing files whatever their time
  bool quiet = false;      // -i: accepted; the library never shows a window
  bool recurse = false;    // -r: masks are searched in the folders below too
  bool noFolders = false;  // -j: names without folders, on packing and extracting
  bool store = false;      // -m0: store; -m1 (default): MSZIP
};

const std::vector<std::string>& KnownSwitches();

// Throws arc::Failure(kBadCommand) for an unknown command, a missing archive
// name or a switch value it cannot use.
CabOptions ReadOptions(const arc::CommandLine& line);

}  // namespace cab
