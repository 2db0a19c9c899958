#include "DictionarySize.h"

#include <algorithm>
#include <cstring>

#include "common/LittleEndian.h"

namespace zipcore {
namespace {

// An XZ variable-length integer at head[pos], advancing pos.
std::optional<std::uint64_t> Varint(const std::vector<std::uint8_t>& head, std::size_t end,
                                    std::size_t& pos) {
  std::uint64_t value = 0;
  for (int i = 0; i < 9 && pos < end; ++i) {
    const std::uint8_t b = head[pos++];
    value |= static_cast<std::uint64_t>(b & 0x7F) << (7 * i);
    if ((b & 0x80) == 0) return value;
  }
  return std::nullopt;
}

// The LZMA2 dictionary byte: 2 or 3 times a power of two, 40 meaning 4 GiB - 1.
std::optional<std::uint64_t> Lzma2Dictionary(std::uint8_t bits) {
  if (bits > 40) return std::nullopt;
  if (bits == 40) return 0xFFFFFFFFu;
  return std::uint64_t{2u | (bits & 1u)} << (bits / 2 + 11);
}

std::optional<std::uint64_t> XzDictionary(const std::vector<std::uint8_t>& head) {
  static const std::uint8_t kMagic[6] = {0xFD, '7', 'z', 'X', 'Z', 0x00};
  if (head.size() < 13 || std::memcmp(head.data(), kMagic, sizeof kMagic) != 0) return std::nullopt;
  if (head[12] == 0) return 0;  // the index follows at once: no block
  const std::size_t end = 12 + (static_cast<std::size_t>(head[12]) + 1) * 4;
  if (head.size() < end || end < 14) return std::nullopt;
  const std::uint8_t flags = head[13];
  std::size_t pos = 14;
  if ((flags & 0x40) && !Varint(head, end, pos)) return std::nullopt;  // compressed size
  if ((flags & 0x80) && !Varint(head, end, pos)) return std::nullopt;  // uncompressed size
  std::uint64_t dictionary = 0;
  for (int filter = 0; filter <= (flags & 3); ++filter) {
    const auto id = Varint(head, end, pos);
    const auto size = Varint(head, end, pos);
    if (!id || !size || *size > end - pos) return std::nullopt;
    std::optional<std::uint64_t> d = 0;
    if (*id == 0x21 && *size >= 1) d = Lzma2Dictionary(head[pos]);
    if (*id == 0x4000000000000001u && *size >= 5) d = arc::Le32(&head[pos + 1]);  // LZMA1
    if (!d) return std::nullopt;
    dictionary = std::max(dictionary, *d);
    pos += static_cast<std::size_t>(*size);
  }
  return dictionary;
}

}  // namespace

std::optional<std::uint64_t> DeclaredDictionary(DictionaryStream stream,
                                                const std::vector<std::uint8_t>& head) {
  if (stream == DictionaryStream::xz) return XzDictionary(head);
  // version (2 bytes), size of the properties (2), then lc/lp/pb and the
  // dictionary size
  if (head.size() < 9) return std::nullopt;
  return arc::Le32(&head[5]);
}

}  // namespace zipcore
