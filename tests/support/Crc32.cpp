#include "tests/support/Crc32.h"

#include <zlib.h>

#include <algorithm>

namespace testing_support {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
  uLong value = crc;
  while (size > 0) {
    const uInt chunk = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
    value = crc32(value, data, chunk);
    data += chunk;
    size -= chunk;
  }
  return static_cast<std::uint32_t>(value);
}

std::uint32_t Crc32(std::string_view data, std::uint32_t crc) {
  return Crc32(reinterpret_cast<const std::uint8_t*>(data.data()), data.size(), crc);
}

}  // namespace testing_support
