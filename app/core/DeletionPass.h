// The deletion after packing: deletes exactly the files this run packed,
// and only those whose size on disk still equals the size the archive
// holds for them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelsok::app {

struct TListedEntry {
  std::string Name;  // as the archive lists it, possibly with folder parts
  std::uint64_t OriginalSize = 0;
};

struct TDeletionResult {
  std::vector<std::string> Deleted;  // full names, in entry order
  std::vector<std::string> Kept;     // "name (reason)" lines
  // One message naming every kept file; empty when none was kept.
  std::string KeptMessage() const;
};

// Each entry's name without its folder part, in the folder the mask
// searched; deleted only when it matches the mask's name part and its size
// equals the entry's original size.
TDeletionResult DeletePackedFiles(const std::string& mask,
                                  const std::vector<TListedEntry>& entries);

}  // namespace pelsok::app
