#include "HeaderParser.h"

#include <vector>

#include "lzh/Crc16.h"

namespace lzh {
namespace {

std::uint16_t Get16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t Get32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint64_t Get64(const std::uint8_t* p) {
  return static_cast<std::uint64_t>(Get32(p)) | (static_cast<std::uint64_t>(Get32(p + 4)) << 32);
}

ParseResult Damaged(std::string message) { return {ParseStatus::damaged, 0, std::move(message)}; }
ParseResult NeedMore(std::size_t n) { return {ParseStatus::needMore, n, {}}; }

std::string CutAtNul(const std::uint8_t* p, std::size_t n) {
  std::string s(reinterpret_cast<const char*>(p), n);
  auto z = s.find('\0');
  if (z != std::string::npos) s.resize(z);
  return s;
}

// State shared while walking a chain of extended headers.
struct ExtState {
  bool has64 = false;
  std::uint64_t packed64 = 0, original64 = 0;
  std::size_t crcOffset = 0;  // offset of the header CRC value, 0 when absent
  bool hasHeaderCrc = false;
  std::uint16_t headerCrc = 0;
};

// Applies one extended header (type byte at p[0], `len` data bytes after it).
bool ApplyExtension(const std::uint8_t* p, std::size_t len, std::size_t offset, EntryHeader& out,
                    ExtState& st, std::string& error) {
  const std::uint8_t* d = p + 1;
  switch (p[0]) {
    case 0x00:
      if (len >= 2) {
        st.hasHeaderCrc = true;
        st.headerCrc = Get16(d);
        st.crcOffset = offset + 1;
      }
      break;
    case 0x01:
      out.fileName = CutAtNul(d, len);
      break;
    case 0x02:
      out.dirName = CutAtNul(d, len);
      break;
    case 0x40:
      if (len >= 2) out.dosAttribute = Get16(d);
      break;
    case 0x42:
      if (len < 16) {
        error = "64-bit size header too short";
        return false;
      }
      st.has64 = true;
      st.packed64 = Get64(d);
      st.original64 = Get64(d + 8);
      break;
    case 0x50:
      if (len >= 2) out.unixMode = Get16(d);
      break;
    case 0x54:
      if (len >= 4) out.unixTime = static_cast<std::int64_t>(Get32(d));
      break;
    default:
      break;
  }
  return true;
}

bool HasMethodShape(const std::uint8_t* p) {
  if (p[2] != '-' || p[6] != '-') return false;
  for (int i = 3; i < 6; ++i)
    if (p[i] < 0x20 || p[i] > 0x7E) return false;
  return true;
}

std::uint8_t Checksum(const std::uint8_t* p, std::size_t n) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < n; ++i) sum += p[i];
  return static_cast<std::uint8_t>(sum);
}

ParseResult ParseLevel0or1(const std::uint8_t* p, std::size_t size, EntryHeader& out) {
  const std::size_t base = static_cast<std::size_t>(p[0]) + 2;
  if (base < 22) return Damaged("header too short");
  if (size < base) return NeedMore(base);
  if (Checksum(p + 2, base - 2) != p[1]) return Damaged("header checksum mismatch");
  const std::size_t nameLen = p[21];
  const int level = p[20];
  out.level = level;
  out.attribute = p[19];
  out.dosStamp = Get32(p + 15);
  std::uint64_t packed = Get32(p + 7);
  out.originalSize = Get32(p + 11);
  if (22 + nameLen > base) return Damaged("name runs past the header");
  out.fileName = CutAtNul(p + 22, nameLen);
  std::size_t pos = 22 + nameLen;
  if (level == 0) {
    if (pos + 2 <= base) {
      out.dataCrc = Get16(p + pos);
      pos += 2;
    } else {
      out.hasDataCrc = false;
    }
    // Unix extension of level 0: 'U', version, time (4), mode (2), uid, gid.
    if (pos + 8 <= base && p[pos] == 'U') {
      out.osId = 'U';
      out.unixTime = static_cast<std::int64_t>(Get32(p + pos + 2));
      out.unixMode = Get16(p + pos + 6);
    } else if (pos < base) {
      out.osId = p[pos];
    }
    out.packedSize = packed;
    out.headerLength = base;
    return {ParseStatus::ok, 0, {}};
  }
  // Level 1: CRC, OS id, then the size of the first extended header.
  if (pos + 5 > base) return Damaged("level 1 header too short");
  out.dataCrc = Get16(p + pos);
  out.osId = p[pos + 2];
  std::size_t next = Get16(p + base - 2);
  std::size_t at = base;
  std::uint64_t extTotal = 0;
  ExtState st;
  std::string error;
  while (next != 0) {
    if (next < 3) return Damaged("extended header size too small");
    if (at + next > kMaxHeaderLength) return Damaged("extended headers too long");
    if (size < at + next) return NeedMore(at + next);
    if (!ApplyExtension(p + at, next - 3, at, out, st, error)) return Damaged(error);
    extTotal += next;
    at += next;
    next = Get16(p + at - 2);
  }
  if (st.has64) {
    out.packedSize = st.packed64;
    out.originalSize = st.original64;
  } else {
    if (packed < extTotal) return Damaged("packed size smaller than the extended headers");
    out.packedSize = packed - extTotal;
  }
  out.headerLength = at;
  return {ParseStatus::ok, 0, {}};
}

ParseResult ParseLevel2or3(const std::uint8_t* p, std::size_t size, EntryHeader& out) {
  const int level = p[20];
  const std::size_t fixed = level == 2 ? 26 : 32;
  if (size < fixed) return NeedMore(fixed);
  std::size_t total;
  std::size_t next;
  std::size_t sizeWidth;
  if (level == 2) {
    total = Get16(p);
    next = Get16(p + 24);
    sizeWidth = 2;
  } else {
    if (Get16(p) != 4) return Damaged("level 3 header with a word size other than 4");
    total = Get32(p + 24);
    next = Get32(p + 28);
    sizeWidth = 4;
  }
  if (total < fixed) return Damaged("header length too small");
  if (total > kMaxHeaderLength) return Damaged("header too long");
  if (size < total) return NeedMore(total);
  out.level = level;
  out.method.assign(reinterpret_cast<const char*>(p + 2), 5);
  out.packedSize = Get32(p + 7);
  out.originalSize = Get32(p + 11);
  out.unixTime = static_cast<std::int64_t>(Get32(p + 15));
  out.attribute = p[19];
  out.dataCrc = Get16(p + 21);
  out.osId = p[23];
  std::size_t at = fixed;
  ExtState st;
  std::string error;
  while (next != 0) {
    if (next < 1 + sizeWidth) return Damaged("extended header size too small");
    // Some writers count the header two bytes short; the chain of extended
    // headers then tells where the data really starts.
    if (at + next > total + 2 * sizeWidth) return Damaged("extended header runs past the header");
    if (size < at + next) return NeedMore(at + next);
    if (!ApplyExtension(p + at, next - 1 - sizeWidth, at, out, st, error)) return Damaged(error);
    at += next;
    next = sizeWidth == 2 ? Get16(p + at - 2) : Get32(p + at - 4);
  }
  if (at > total) total = at;
  if (st.hasHeaderCrc) {
    std::vector<std::uint8_t> copy(p, p + total);
    copy[st.crcOffset] = 0;
    copy[st.crcOffset + 1] = 0;
    if (crc16(0, copy.data(), copy.size()) != st.headerCrc) return Damaged("header CRC mismatch");
  }
  if (st.has64) {
    out.packedSize = st.packed64;
    out.originalSize = st.original64;
  }
  out.headerLength = total;
  return {ParseStatus::ok, 0, {}};
}

}  // namespace

ParseResult ParseHeader(const std::uint8_t* data, std::size_t size, EntryHeader& out) {
  out = EntryHeader{};
  if (size == 0 || data[0] == 0) return {ParseStatus::endOfArchive, 0, {}};
  if (size < 22) return NeedMore(22);
  if (!HasMethodShape(data)) return Damaged("not an LZH header (no method id)");
  const int level = data[20];
  ParseResult r;
  switch (level) {
    case 0:
    case 1:
      r = ParseLevel0or1(data, size, out);
      break;
    case 2:
    case 3:
      r = ParseLevel2or3(data, size, out);
      break;
    default:
      return Damaged("unknown header level " + std::to_string(level));
  }
  if (r.status == ParseStatus::ok) out.method.assign(reinterpret_cast<const char*>(data + 2), 5);
  return r;
}

}  // namespace lzh
