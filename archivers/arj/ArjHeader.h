// ARJ headers: the main header at the head of an archive and the local
// header before each member share one layout. Each is the id 0x60 0xEA, a
// 16-bit basic header size (0 marks the end of the archive), the basic
// header, its CRC-32, then extended headers (16-bit size, data, CRC-32)
// until a size of 0. Numbers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace arj {

inline constexpr std::uint8_t kIdLow = 0x60;
inline constexpr std::uint8_t kIdHigh = 0xEA;
inline constexpr std::size_t kMaxBasicHeader = 2600;
inline constexpr std::size_t kFixedPart = 30;  // the fields every first header part holds

// Bits of the flags byte.
inline constexpr std::uint8_t kGarbled = 0x01;  // the member's data is encrypted
inline constexpr std::uint8_t kVolume = 0x04;   // continues in the next volume
inline constexpr std::uint8_t kExtFile = 0x08;  // starts in the previous volume
inline constexpr std::uint8_t kPathSym = 0x10;  // '\' was written as '/'

inline constexpr std::uint8_t kHostMsDos = 0;
inline constexpr std::uint8_t kHostUnix = 2;

enum class FileType : std::uint8_t {
  binary = 0,
  text = 1,     // "7-bit text": stored byte for byte as well
  comment = 2,  // the main header
  directory = 3,
  volumeLabel = 4,
  chapterLabel = 5,
};

struct Header {
  std::uint8_t firstHeaderSize = 0;
  std::uint8_t version = 0;
  std::uint8_t minVersion = 0;
  std::uint8_t hostOs = 0;
  std::uint8_t flags = 0;
  std::uint8_t method = 0;  // 0 stored, 1-3 static Huffman, 4 fastest
  FileType type = FileType::binary;
  std::uint32_t stamp = 0;  // Unix seconds from a Unix host, else an MS-DOS date and time
  std::uint32_t packedSize = 0;
  std::uint32_t originalSize = 0;
  std::uint32_t crc = 0;       // CRC-32 of the original data
  std::uint16_t fileMode = 0;  // Unix host: type and permission bits; else MS-DOS attributes
  std::string name;            // as stored, without its NUL
  std::string comment;
  std::size_t length = 0;  // bytes from the id to the member's data

  bool IsDirectory() const { return type == FileType::directory; }
  bool HasData() const { return type == FileType::binary || type == FileType::text; }
};

enum class HeaderStatus { ok, end, needMore, bad };

struct HeaderParse {
  HeaderStatus status = HeaderStatus::bad;
  std::size_t needed = 0;  // needMore: bytes the header takes at least
  std::string message;     // bad: why
};

// Reads one header from data[0, size). `end` for the end mark (the id and a
// size of 0; its length is then 4). Never reads past size.
HeaderParse ParseHeader(const std::uint8_t* data, std::size_t size, Header& out);

}  // namespace arj
