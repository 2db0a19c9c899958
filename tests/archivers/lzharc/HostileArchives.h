// Builds the LZH archives the reading tests and the fuzz seeds need, byte by
// byte from the format: level 1 and 2 members with any extended headers,
// single-code -lh5- blocks, MacBinary images.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lzhtest {

using Bytes = std::vector<std::uint8_t>;

// One extended header: its type and data (the framing is added).
struct Extension {
  std::uint8_t type = 0;
  Bytes data;
};

struct MemberSpec {
  std::string method = "-lh0-";
  std::string name;  // the base header's name (level 1) or none (level 2)
  std::uint8_t osId = 'U';
  std::vector<Extension> extensions;
  Bytes data;                           // the member's packed bytes
  std::uint64_t originalSize = 0;       // for -lh0- with 0: data.size()
  std::uint16_t crc = 0;                // CRC-16 of the original data; for -lh0- computed
  std::uint32_t unixTime = 1735732800;  // 2025-01-01 12:00:00 UTC
};

// A member with a level 1 or a level 2 header.
Bytes Level1Member(const MemberSpec& spec);
Bytes Level2Member(const MemberSpec& spec);

// Members one after the other, then the end mark.
Bytes Archive(const std::vector<Bytes>& members);

// A level 1 member whose header carries `count` empty extended headers of an
// unknown type (three bytes each).
Bytes EmptyExtensionChain(std::size_t count);

// An -lh5- stream of `blocks` blocks whose three code tables each hold a
// single code: every block spends 52 bits on its header and none on its
// 65535 symbols, each a match of 256 bytes one byte back.
Bytes SingleCodeBlocks(std::size_t blocks);
inline constexpr std::uint64_t kSingleCodeBlockOutput = 65535ull * 256;

// A MacBinary image: header (MacBinary II with its CRC when version2,
// else MacBinary I), then both forks padded to 128 bytes.
Bytes MacBinaryImage(const std::string& macName, const Bytes& dataFork, const Bytes& resourceFork,
                     bool version2);

// A UTF-16 string as little-endian bytes.
Bytes Utf16Le(const std::u16string& s);
Bytes Text(const std::string& s);

}  // namespace lzhtest
