// Writes a whole cabinet from files on disk: the header, its folders, one
// record per file and the data blocks. Each folder's stream (its files one
// after another) is cut into blocks of kCabBlock bytes, and every block is
// stored or deflated on its own by libdeflate (a complete deflate stream
// after "CK", as MSZIP readers expect) on the worker pool, then written in
// order. A block never refers to an earlier one, so the bytes written depend
// on the files and the level alone, never on the number of workers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "CabLimits.h"
#include "SourceGatherer.h"
#include "common/Progress.h"

namespace cab {

// Uncompressed bytes of a data block (the last of a folder may be shorter).
constexpr std::size_t kCabBlock = 32768;
// The libdeflate level of MSZIP blocks (see the library's README).
constexpr int kMszipLevel = 6;

struct CabinetWriterOptions {
  bool store = false;       // stored blocks instead of MSZIP
  int level = kMszipLevel;  // libdeflate's 1-12
  int threads = 0;          // workers; 0: one per core
  // Uncompressed bytes of a folder; no file may be larger.
  std::uint64_t folderBytes = kMaxFolderBytes;
};

// Writes the cabinet of files, in their order, to fd (an empty file) and
// returns its size in bytes; nullopt when progress asked to cancel (what was
// written is then of no use). Files go into folders of at most
// options.folderBytes each; the caller has checked the counts and sizes against
// CabLimits.h. Throws arc::Failure when a file cannot be read as it was
// gathered, a write fails or the cabinet outgrows kMaxCabinetBytes.
std::optional<std::uint64_t> WriteCabinet(int fd, const std::vector<SourceFile>& files,
                                          const CabinetWriterOptions& options,
                                          arc::Progress* progress);

}  // namespace cab
