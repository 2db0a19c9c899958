// The deletion after packing: deletes exactly the files this run packed,
// and only those that are still what the archive holds: the same size and,
// where the archive keeps one or the check by extraction made one, the same
// checksum, read again from the disk right before each file goes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/run/FileChecksum.h"

namespace pelsok::app {

struct TListedEntry {
  TListedEntry(std::string name, std::uint64_t size, std::optional<TMemberSum> sum = {})
      : Name(std::move(name)), OriginalSize(size), Sum(sum) {}
  std::string Name;  // as the archive lists it, possibly with folder parts
  std::uint64_t OriginalSize = 0;
  std::optional<TMemberSum> Sum;  // the member's checksum, where one is known
  // The SHA-256 of the member's data as it decoded, for the manifest; none
  // when its library cannot hand the data over.
  std::optional<std::string> Sha256;
};

// The first line of the message naming the kept files.
inline constexpr const char* kKeptHeading = "次のファイルは削除しませんでした。";

struct TDeletionResult {
  std::vector<std::string> Deleted;  // full names, in entry order
  std::vector<std::string> Kept;     // "name (reason)" lines
  // One message naming every kept file; empty when none was kept.
  std::string KeptMessage() const;
};

// Each entry's name without its folder part, in the folder the mask
// searched; deleted only when it matches the mask's name part, its size
// equals the entry's original size and its checksum the entry's.
TDeletionResult DeletePackedFiles(const std::string& mask,
                                  const std::vector<TListedEntry>& entries);

}  // namespace pelsok::app
