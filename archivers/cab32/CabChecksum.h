// The checksum a cabinet keeps in each data block: the block's bytes taken
// as little-endian 32-bit words XORed together (a tail of one to three bytes
// forms one more word, its first byte highest), seeded with the checksum of
// the data and finished over the block's two 16-bit sizes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cab {

// The checksum of n bytes, continuing from seed.
std::uint32_t CabChecksum(const void* data, std::size_t n, std::uint32_t seed = 0);

// The value of a data block's checksum field for its stored bytes and its
// two sizes (stored and uncompressed).
std::uint32_t DataBlockChecksum(const void* data, std::uint16_t storedBytes,
                                std::uint16_t uncompressedBytes);

}  // namespace cab
