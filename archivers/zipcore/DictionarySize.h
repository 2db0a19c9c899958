// The dictionary an LZMA or XZ stream asks its decoder for, read from the
// stream's first bytes. The decoders reserve what the stream declares
// before they produce a byte, so an entry of a few bytes could ask for
// 4 GiB; DecoderGate keeps such an entry from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zipcore {

enum class DictionaryStream { lzma, xz };

// The largest dictionary UnZip lets a decoder reserve. Compressors use
// 64 MiB at their strongest presets.
inline constexpr std::uint64_t kDictionaryLimit = std::uint64_t{512} << 20;

// How many leading bytes DeclaredDictionary looks at, at most: the XZ
// stream header and the largest block header.
inline constexpr std::size_t kDictionaryHeadSize = 12 + 1024;

// The dictionary size head declares: the LZMA properties, or the LZMA2
// filter of the first XZ block. nullopt when head is too short or malformed
// to tell.
std::optional<std::uint64_t> DeclaredDictionary(DictionaryStream stream,
                                                const std::vector<std::uint8_t>& head);

}  // namespace zipcore
