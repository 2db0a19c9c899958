// The CRC-16 an LZH archive keeps for each member (polynomial 0xA001,
// reflected, starting at 0), of a whole file on disk, read in pieces.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pelsok::app {

struct TFileSum {
  std::uint64_t Size = 0;
  std::uint16_t Crc16 = 0;
};

// nullopt when the file cannot be read to its end.
std::optional<TFileSum> FileCrc16(const std::string& path);

}  // namespace pelsok::app
