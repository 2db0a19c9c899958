// CRC-32 (the zlib / IEEE polynomial) of ARJ headers and member data.
#pragma once

#include <cstddef>
#include <cstdint>

namespace arj {

// Continues crc over n bytes at p; start with 0.
std::uint32_t Crc32(std::uint32_t crc, const std::uint8_t* p, std::size_t n);

}  // namespace arj
