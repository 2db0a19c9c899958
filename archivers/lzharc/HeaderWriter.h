// Builds the level 2 header of a member we write: file name, folder, Unix
// mode and time, 64-bit sizes when needed, and the header CRC.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace lzh {

struct NewEntryHeader {
  std::string method = "-lh0-";
  std::uint64_t packedSize = 0;
  std::uint64_t originalSize = 0;
  std::int64_t unixTime = 0;  // seconds since 1970, UTC
  std::uint16_t dataCrc = 0;
  std::uint16_t unixMode = 0;  // 0: no mode header
  std::string fileName;        // stored bytes, no folder part
  std::string dirName;         // stored bytes, parts ended by 0xFF ("a\xFFb\xFF"), empty for none
  // Adds the 64-bit size header even when both sizes fit in 32 bits, so
  // the header keeps its length when it is rewritten after compression.
  bool wideSizes = false;
};

// Throws std::length_error when the names make the header longer than
// a level 2 header can be (65535 bytes).
std::vector<std::uint8_t> BuildLevel2Header(const NewEntryHeader& e);

// True when a size needs the 64-bit size header.
inline bool NeedsWideSizes(std::uint64_t size) { return size > 0xFFFFFFFFull; }

}  // namespace lzh
