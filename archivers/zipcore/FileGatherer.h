// Turns the file operands of an add command into the files and folders to
// store and the names they get.
//
// An operand is a file, a mask or a folder, relative to the base folder
// when one is given. A folder operand stores the folder's entry, and with
// -r everything below it; a mask is searched in its folder, and with -r in
// every folder below too. Names beginning with '.' count as hidden and are
// left out unless -S. Stored names: with -j the bare file name (no folder
// entries); otherwise the path relative to the base folder, or without a
// base folder the operand's folder as written, without its root and
// without "." and ".." parts ("/srv/LOG/DR07*.log" stores
// "srv/LOG/DR0715.log"). -D leaves folder entries out.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ZipOptions.h"

namespace zipcore {

struct SourceFile {
  std::string diskPath;
  std::string storedName;  // UTF-8, '/' between folders; folders end in '/'
  bool folder = false;
  std::int64_t mtime = 0;
  std::uint64_t size = 0;
  std::uint32_t mode = 0;  // st_mode
};

struct GatherResult {
  std::vector<SourceFile> files;
  std::vector<std::string> notes;  // operands that matched nothing, duplicate names
};

// excludePath is the archive itself, never stored into itself.
GatherResult GatherFiles(const ZipOptions& o, const std::string& excludePath);

}  // namespace zipcore
