// Finds data appended to an ELF executable (a self-extracting program's
// archive): the bytes after the end of the ELF image, which is the furthest
// of the program headers, the section headers and the sections' contents.
#pragma once

#include <cstdint>
#include <optional>

namespace arc {

// Offset of the first byte after the ELF image of the file open on fd, when
// the file is a 64-bit or 32-bit ELF file with bytes after its image;
// nullopt otherwise (not ELF, damaged headers, nothing appended).
std::optional<std::uint64_t> AppendedDataOffset(int fd);

}  // namespace arc
