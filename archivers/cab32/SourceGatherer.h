// Turns the file operands of -a into the files to pack and their stored
// names. An operand is a file, a mask ("*.log") or a folder. Relative
// operands are taken below the base folder when one is given, else below
// the current folder. A stored name is the operand's folder as written
// (without its root, "." and ".." parts; nothing for an absolute operand
// outside the base folder), then the folders found by -r, then the name;
// a folder operand stores every file below it under the folder's name.
// With -j only the bare name is stored.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CabOptions.h"

namespace cab {

struct SourceFile {
  std::string diskPath;
  std::string storedName;  // folders separated by '/'
  std::int64_t mtime = 0;
  std::uint64_t size = 0;
  mode_t mode = 0;
};

struct GatherResult {
  std::vector<SourceFile> files;
  std::vector<std::string> notes;  // operands that matched nothing, duplicate names
};

// exclude names the cabinet being written (never packed into itself).
GatherResult GatherSources(const CabOptions& o, const std::string& exclude);

}  // namespace cab
