// Where a ZIP archive's records lie in the file, read from its end record
// and central directory before libzip opens it, for what libzip does not
// look at:
// - a stub prepended to the archive with the offsets left as they were (a
//   self-extractor joined without adjusting them): the directory is found
//   from the end record, and the difference is the shift libzip's view is
//   moved by;
// - names flagged UTF-8 that are not UTF-8 (libzip refuses the whole
//   archive for them): their flag positions, so libzip's view can clear it
//   and the name be read by the code-page rule (ZipNames.h);
// - entries whose local headers and data share bytes (several entries
//   pointing at one local header, a "zip bomb"): damage;
// - a size or offset of 0xFFFFFFFF with no ZIP64 field to hold it, and an
//   encrypted central directory: said as such.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zipcore {

struct LayoutEntry {
  std::uint64_t localOffset = 0;  // where its local header is in the file
  bool falseUtf8 = false;         // flagged UTF-8, but not UTF-8
};

struct DirectoryLayout {
  bool found = false;                         // an end record and a readable directory
  std::uint64_t shift = 0;                    // bytes before the archive its offsets do not count
  std::vector<std::uint64_t> falseUtf8Flags;  // file positions of flag words to clear bit 11 in
  std::vector<LayoutEntry> entries;           // in the directory's order
  std::string damage;  // what is wrong (Japanese, for the report); empty: nothing
};

// Reads the layout of the file at fd (size bytes); never throws, and
// leaves found false for a file whose end record it cannot find.
DirectoryLayout ReadDirectoryLayout(int fd, std::uint64_t size);

}  // namespace zipcore
