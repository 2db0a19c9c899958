// CRC-32 as ZIP, gzip and the corpus listings use it, from zlib: independent
// of the checksums our archivers compute.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace testing_support {

// The CRC of data, continuing from crc (0 to start).
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
std::uint32_t Crc32(std::string_view data, std::uint32_t crc = 0);

}  // namespace testing_support
