// One member's header as read from or written to an LZH archive, whatever
// its header level. Names are kept as the stored bytes; EntryName turns them
// into a path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace lzh {

struct EntryHeader {
  std::string method;            // the five-byte method id, "-lh5-"
  std::uint64_t packedSize = 0;  // bytes of member data that follow the header
  std::uint64_t originalSize = 0;
  int level = 0;                              // header level 0..3
  std::optional<std::uint32_t> dosStamp;      // MS-DOS time (low word) and date (high word)
  std::optional<std::int64_t> unixTime;       // seconds since 1970, UTC
  std::uint8_t attribute = 0x20;              // MS-DOS attribute byte (levels 0 and 1)
  std::optional<std::uint16_t> dosAttribute;  // extended header 0x40
  std::optional<std::uint16_t> unixMode;      // extended header 0x50 or level 0 'U' area
  std::uint8_t osId = 0;      // 'M' MS-DOS, 'U' Unix, 'w' Windows ...; 0 when absent
  bool hasDataCrc = true;     // very old level 0 headers carry none
  std::uint16_t dataCrc = 0;  // CRC-16 of the original data
  std::string fileName;       // stored name bytes (level 0/1 name, or extended header 0x01)
  std::string dirName;        // stored folder bytes of extended header 0x02 (0xFF separators)
  // UTF-16LE names of extended headers 0x44 (file) and 0x45 (folder,
  // parts between 0xFFFF or '\'); when present they are the real name.
  std::optional<std::string> wideFileName;
  std::optional<std::string> wideDirName;
  std::size_t headerLength = 0;  // bytes from the header's first byte to the member data

  bool isDirectory() const { return method == "-lhd-"; }
};

}  // namespace lzh
