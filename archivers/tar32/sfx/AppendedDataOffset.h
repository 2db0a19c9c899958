// Where the data appended to an ELF program starts: the end of its ELF image
// (MakeSfx writes the stub's bytes, then the archive's, with no trailer).
#pragma once

#include <cstdint>
#include <optional>

namespace arc {

// nullopt when fd is no 64-bit little-endian ELF file, its headers point
// past its end, or nothing follows the image.
std::optional<std::uint64_t> AppendedDataOffset(int fd);

}  // namespace arc
