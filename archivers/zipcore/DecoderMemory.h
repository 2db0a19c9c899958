// The dictionary an LZMA or XZ entry asks its decoder for, read from the
// first bytes of the entry's stored data. The decoders reserve what the
// stream declares before they produce a byte, so an entry of a few bytes
// could ask for 4 GiB; UnZip refuses such an entry instead of decoding it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <zip.h>

namespace zipcore {

struct ZipEntry;

enum class DictionaryStream { lzma, xz };

// The largest dictionary UnZip lets a decoder reserve. Compressors use
// 64 MiB at their strongest presets.
inline constexpr std::uint64_t kDictionaryLimit = std::uint64_t{512} << 20;

// How many leading bytes DeclaredDictionary looks at, at most: the XZ
// stream header and the largest block header.
inline constexpr std::size_t kDictionaryHeadSize = 12 + 1024;

// How libarchive is about to decode an entry, going by its local header:
// from the description it gives of the entry ("ZIP 6.3 (lzma)"). For a
// WinZip AES entry the method is in the directory's AES extra field.
enum class LocalMethod { lzma, xz, aes, other };
LocalMethod LocalMethodOf(const char* formatName);

// The dictionary size head declares: the LZMA properties, or the LZMA2
// filter of the first XZ block. nullopt when head is too short or malformed
// to tell; the decoder then reports the damage itself.
std::optional<std::uint64_t> DeclaredDictionary(DictionaryStream stream,
                                                const std::vector<std::uint8_t>& head);

struct DictionaryRefusal {
  std::string reason;    // empty: the entry may be decoded
  bool damaged = false;  // else it is one this library does not decode
};

// Whether the entries named `name` in the directory may be decoded as
// `local` says: not with a dictionary beyond kDictionaryLimit, nor when no
// entry has that name, its method differs or its data cannot be read (the
// local header disagrees with the directory), nor encrypted.
DictionaryRefusal CheckDictionary(zip_t* z, const std::vector<ZipEntry>& entries,
                                  const std::string& name, LocalMethod local);

}  // namespace zipcore
