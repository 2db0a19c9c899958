// Turns the file operands of an add command into the files to pack and the
// names they get in the archive.
//
// Stored names (platform::StoredName): with -x0 the bare file name.
// path relative to the base folder. With -x1 and no base folder, the
// operand's own folder as written, without its root and without "." and
// ".." parts ("/srv/LOG/DR07*.log" stores "srv/LOG/DR0715.log"). Files found
// below the operand's folder by -r keep the folders between.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "UnlhaOptions.h"

namespace unlha {

struct SourceFile {
  std::string diskPath;            // path to open
  std::vector<std::string> parts;  // stored name, folders then the name
  std::int64_t mtime = 0;
  std::uint64_t size = 0;
  dev_t device = 0;
  ino_t inode = 0;
};

struct GatherResult {
  std::vector<SourceFile> files;
  std::vector<std::string> notes;  // operands that matched nothing, duplicate names
};

// excludeDevice/excludeInode name the archive itself (never packed into itself).
GatherResult GatherFiles(const UnlhaOptions& o, dev_t excludeDevice, ino_t excludeInode,
                         const std::string& excludePath);

}  // namespace unlha
