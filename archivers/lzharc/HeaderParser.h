// Reads one member header from a byte buffer: levels 0, 1, 2 and 3 with
// their extended headers. A pure function over bytes, so it can be fuzzed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "EntryHeader.h"

namespace lzh {

enum class ParseStatus {
  ok,            // a header was read; out.headerLength bytes belong to it
  needMore,      // the buffer is too short: call again with at least `needed` bytes
  endOfArchive,  // the end mark (a zero byte) or no bytes at all
  damaged,       // not a header, or a header that contradicts itself
};

struct ParseResult {
  ParseStatus status = ParseStatus::damaged;
  std::size_t needed = 0;
  std::string message;
};

// Largest header the parser accepts (level 1 extension chains, level 3).
inline constexpr std::size_t kMaxHeaderLength = 1u << 20;
// Most extended headers one member may carry. Writers use a handful; a long
// chain of empty ones is only there to make readers slow.
inline constexpr std::size_t kMaxExtendedHeaders = 256;

ParseResult ParseHeader(const std::uint8_t* data, std::size_t size, EntryHeader& out);

}  // namespace lzh
