// Finds the files a c command packs: operands are files, folders (taken
// whole, with every file below) or masks in their folder's last part;
// relative operands are taken relative to the base folder.
#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

#include "TarOptions.h"
#include "common/Report.h"

namespace tar32 {

struct Source {
  std::string path;    // to open
  std::string stored;  // the member name, '/' between folders
  struct stat st {};   // from lstat
};

// Throws arc::Failure(kCannotRead) when an operand without wildcards does
// not exist. Files whose (dev, ino) is in skip (the archive itself and its
// temporary file) are left out; sockets, FIFOs and devices are left out with
// a report line. Two sources with one stored name: the first is kept.
std::vector<Source> GatherSources(const TarOptions& o, const std::vector<struct stat>& skip,
                                  arc::Report& report);

}  // namespace tar32
