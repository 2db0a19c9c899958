// Member names: from the stored bytes (any header level, '\', '/' or 0xFF
// between folders, UTF-8 or Shift-JIS) to a path of UTF-8 parts, and back
// to the bytes a level 2 header stores.
#pragma once

#include <string>
#include <vector>

#include "EntryHeader.h"

namespace lzh {

struct EntryPath {
  std::vector<std::string> parts;  // folders then the name; "." and empty parts removed
  bool absolute = false;           // began with a delimiter or a drive letter
  bool hasParent = false;          // held a ".." part
  bool symlink = false;            // a Unix symbolic link member

  // True when the path stays inside the folder it is extracted to as it is
  // (an absolute path does only with its root removed).
  bool IsSafe() const { return !absolute && !hasParent && !parts.empty(); }
  // Parts joined by delim.
  std::string Joined(char delim = '/') const;
  // The last part, or "" when there is none.
  std::string Name() const { return parts.empty() ? std::string() : parts.back(); }
};

// Decodes the stored name of a member. Names that are valid UTF-8 stay as
// they are; names that are only valid cp932 are converted to UTF-8.
EntryPath DecodeEntryPath(const EntryHeader& h);

// The same rules for a whole stored path ('\\', '/' or 0xFF between
// folders), as other formats with DOS-era names store it.
EntryPath DecodeStoredPath(std::string raw);

struct StoredName {
  std::string fileName;  // extended header 0x01
  std::string dirName;   // extended header 0x02, each folder ended by 0xFF
};

// Encodes UTF-8 parts for a level 2 header, as UTF-8 or as cp932. Throws
// std::runtime_error when a part has no cp932 form.
StoredName EncodeStoredName(const std::vector<std::string>& parts, bool cp932);

// Splits a '/'-separated relative name into parts, dropping "." and empty parts.
std::vector<std::string> SplitPath(const std::string& name);

// The name with control characters (C0, DEL, C1) replaced by '?', safe to print.
std::string PrintableName(const std::string& name);

}  // namespace lzh
