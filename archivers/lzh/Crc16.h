// CRC-16/ARC (reflected polynomial 0xA001, initial value 0): the data CRC of LZH archives.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lzh {

// Continues `crc` over n bytes at p; start with 0.
std::uint16_t crc16(std::uint16_t crc, const std::uint8_t* p, std::size_t n);

}  // namespace lzh
