// Members written on classic Mac OS are often MacBinary: a 128-byte header,
// the data fork and the resource fork, each padded to 128 bytes. Such a
// member is extracted and listed as its data fork alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace lzh {

inline constexpr std::size_t kMacBinaryHeaderLength = 128;

// Where the data fork lies in the member's decoded bytes.
struct DataFork {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};

// The data fork when `header` (the member's first 128 bytes) is a sound
// MacBinary header for a member of memberSize bytes: version 0, a name of 1
// to 63 bytes, zero fill bytes, fork lengths that add up to the member's
// size, and the MacBinary II header CRC when the header says it has one.
std::optional<DataFork> ReadMacBinaryHeader(const std::uint8_t* header, std::uint64_t memberSize);

}  // namespace lzh
