// Finds data appended to an ELF executable without any trailer: a
// self-extracting stub reads its own file and takes everything past its
// ELF image as the archive. The image ends at the furthest of the ELF
// header, the program header table, the section header table, and the file
// extent of every segment and every section that occupies file space.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace arc {

struct AppendedData {
  std::uint64_t offset = 0;    // where the appended bytes start: the end of the ELF image
  std::uint64_t fileSize = 0;  // size of the whole file; equal to offset when nothing follows
  bool Empty() const { return offset == fileSize; }
};

// Reads the ELF headers of the open file (32- or 64-bit, little-endian)
// with pread, leaving the file offset alone. nullopt when the file is not
// such an ELF file or its headers make no sense: a table or an extent past
// the end of the file, entry sizes too small for their records, counts that
// overflow.
std::optional<AppendedData> FindAppendedData(int fd);

// The same for the running program (/proc/self/exe); nullopt also when it
// cannot be opened.
std::optional<AppendedData> FindOwnAppendedData();

}  // namespace arc
