// The format's limits, checked before anything is written.
#pragma once

#include <cstdint>

namespace cab {

// Uncompressed bytes of one folder (65535 blocks of 32 KiB); readers ignore
// data past it, so a file larger than this cannot be stored at all.
constexpr std::uint64_t kMaxFolderBytes = 0x7FFF8000;
// Bytes of one cabinet file (its offsets are signed 32-bit for many readers).
constexpr std::uint64_t kMaxCabinetBytes = 0x7FFFFFFF;
// Files of one cabinet (a 16-bit count).
constexpr std::uint64_t kMaxFiles = 0xFFFF;

}  // namespace cab
