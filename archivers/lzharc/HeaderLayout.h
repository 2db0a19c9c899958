// Where the fields of an LZH member header lie, by header level, and the
// types of extended headers. Offsets are from the header's first byte;
// multi-byte fields are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lzh::field {

// Every level: bytes 2..21.
inline constexpr std::size_t kMethod = 2;  // five bytes, "-lh5-"
inline constexpr std::size_t kMethodLength = 5;
inline constexpr std::size_t kPackedSize = 7;     // 32 bits
inline constexpr std::size_t kOriginalSize = 11;  // 32 bits
inline constexpr std::size_t kTime = 15;  // 32 bits: MS-DOS stamp (levels 0, 1), Unix time (2, 3)
inline constexpr std::size_t kAttribute = 19;  // MS-DOS attribute; 0x20 at levels 2 and 3
inline constexpr std::size_t kLevel = 20;
// Bytes needed to see the method and the level of any header.
inline constexpr std::size_t kCommonLength = 22;
inline constexpr std::size_t kCrcLength = 2;  // a CRC-16

// Levels 0 and 1: a one-byte size (header length less 2) and checksum,
// the name, then the data CRC.
inline constexpr std::size_t kBaseSize = 0;
inline constexpr std::size_t kChecksum = 1;  // sum of the bytes from kMethod to the base end
inline constexpr std::size_t kChecksummedFrom = kMethod;
inline constexpr std::size_t kSizeAndChecksumLength = 2;  // bytes the size byte leaves out
inline constexpr std::size_t kNameLength = 21;
inline constexpr std::size_t kName = 22;
// After the name (offsets from its end): the data CRC; at level 1 the OS id
// and, in the base header's last two bytes, the first extended header's size.
inline constexpr std::size_t kDataCrcAfterName = 0;
inline constexpr std::size_t kOsIdAfterName = 2;
inline constexpr std::size_t kLevel1AfterName = 5;  // CRC, OS id, next size
// Level 0 Unix area after the data CRC: 'U', version, time (32 bits), mode
// (16 bits), then user and group ids.
inline constexpr std::size_t kUnixAreaTime = 2;
inline constexpr std::size_t kUnixAreaMode = 6;
inline constexpr std::size_t kUnixAreaMinLength = 8;

// Levels 2 and 3.
inline constexpr std::size_t kTotalLength = 0;  // level 2: the whole header, 16 bits
inline constexpr std::size_t kWordSize = 0;     // level 3: 16 bits, always 4
inline constexpr std::size_t kDataCrc = 21;
inline constexpr std::size_t kOsId = 23;
inline constexpr std::size_t kLevel2NextSize = 24;  // 16 bits
inline constexpr std::size_t kLevel2Fixed = 26;
inline constexpr std::size_t kLevel3TotalLength = 24;  // 32 bits
inline constexpr std::size_t kLevel3NextSize = 28;     // 32 bits
inline constexpr std::size_t kLevel3Fixed = 32;

// An extended header: its type, its data, then the next one's size (16
// bits at levels 1 and 2, 32 at level 3). Its own size counts all three;
// a size of 0 ends the chain.
inline constexpr std::size_t kExtensionType = 0;
inline constexpr std::size_t kExtensionData = 1;
inline constexpr std::size_t kShortNextSize = 2;
inline constexpr std::size_t kLongNextSize = 4;
// Data of the 64-bit size header: packed size, then original size.
inline constexpr std::size_t kWidePackedSize = 0;
inline constexpr std::size_t kWideOriginalSize = 8;
inline constexpr std::size_t kWideSizesLength = 16;

}  // namespace lzh::field

namespace lzh {

enum class Extension : std::uint8_t {
  headerCrc = 0x00,     // CRC-16 of the whole header, with this field zero
  fileName = 0x01,      // name bytes, no folder
  dirName = 0x02,       // folder bytes, parts ended by 0xFF
  dosAttribute = 0x40,  // 16 bits
  wideSizes = 0x42,     // packed and original size, 64 bits each
  wideFileName = 0x44,  // name, UTF-16LE, no folder
  wideDirName = 0x45,   // folder, UTF-16LE, parts between 0xFFFF or '\'
  unixMode = 0x50,      // 16 bits
  unixTime = 0x54,      // 32 bits, seconds since 1970
};

}  // namespace lzh
