// How much room the file system holding a folder has left, and whether a
// write failed because it had none.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// Bytes an unprivileged writer may still use there; nullopt when the folder
// cannot be asked.
std::optional<std::uint64_t> FreeSpace(const std::string& folder);

// The system's text for a full disk ("No space left on device").
std::string DiskFullReason();

}  // namespace platform
