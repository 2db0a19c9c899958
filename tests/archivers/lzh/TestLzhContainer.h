// Test helpers only: a minimal LZH container writer (one member, header level 0 or 2)
// so that external tools can extract what the codec produced, and a minimal member
// walker that finds the compressed data inside archives made by other programs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lzhtest {

std::vector<std::uint8_t> makeSingleMemberArchive(int level, const std::string& method,
                                                  const std::string& name,
                                                  const std::vector<std::uint8_t>& packed,
                                                  std::uint64_t originalSize, std::uint16_t crc);

struct Member {
  std::string method;
  std::string name;
  std::uint64_t packedSize = 0;
  std::uint64_t originalSize = 0;
  std::uint16_t crc = 0;
  std::size_t dataOffset = 0;
};

// Walks the members of an archive (levels 0, 1, 2); stops at the end mark or at anything it cannot
// read.
std::vector<Member> listMembers(const std::vector<std::uint8_t>& archive);

// Bit-at-a-time reference CRC-16, independent of the codec's table-driven one.
std::uint16_t referenceCrc16(const std::vector<std::uint8_t>& data);

// Synthetic log text, `bytes` long, deterministic for `seed`.
std::vector<std::uint8_t> syntheticLog(std::size_t bytes, std::uint32_t seed);
std::vector<std::uint8_t> randomBytes(std::size_t bytes, std::uint32_t seed);

}  // namespace lzhtest
