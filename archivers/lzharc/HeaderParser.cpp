#include "HeaderParser.h"

#include <vector>

#include "HeaderLayout.h"
#include "common/LittleEndian.h"
#include "common/Messages.h"
#include "lzh/Crc16.h"

namespace lzh {
namespace {

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

// Applies one extended header at p (of the header, at offset), with `len`
// data bytes after its type.
bool ApplyExtension(const std::uint8_t* p, std::size_t len, std::size_t offset, EntryHeader& out,
                    ExtState& st, std::string& error) {
  const std::uint8_t* d = p + field::kExtensionData;
  switch (static_cast<Extension>(p[field::kExtensionType])) {
    case Extension::headerCrc:
      if (len >= field::kCrcLength) {
        st.hasHeaderCrc = true;
        st.headerCrc = arc::Le16(d);
        st.crcOffset = offset + field::kExtensionData;
      }
      break;
    case Extension::fileName:
      out.fileName = CutAtNul(d, len);
      break;
    case Extension::dirName:
      out.dirName = CutAtNul(d, len);
      break;
    case Extension::wideFileName:
      out.wideFileName = std::string(reinterpret_cast<const char*>(d), len);
      break;
    case Extension::wideDirName:
      out.wideDirName = std::string(reinterpret_cast<const char*>(d), len);
      break;
    case Extension::dosAttribute:
      if (len >= 2) out.dosAttribute = arc::Le16(d);
      break;
    case Extension::wideSizes:
      if (len < field::kWideSizesLength) {
        error = "64 ビットサイズの拡張ヘッダーが短すぎます";
        return false;
      }
      st.has64 = true;
      st.packed64 = arc::Le64(d + field::kWidePackedSize);
      st.original64 = arc::Le64(d + field::kWideOriginalSize);
      break;
    case Extension::unixMode:
      if (len >= 2) out.unixMode = arc::Le16(d);
      break;
    case Extension::unixTime:
      if (len >= 4) out.unixTime = static_cast<std::int64_t>(arc::Le32(d));
      break;
    default:
      break;
  }
  return true;
}

// "-xxx-" with printable characters between the dashes.
bool HasMethodShape(const std::uint8_t* p) {
  const std::uint8_t* m = p + field::kMethod;
  if (m[0] != '-' || m[field::kMethodLength - 1] != '-') return false;
  for (std::size_t i = 1; i + 1 < field::kMethodLength; ++i)
    if (m[i] < 0x20 || m[i] > 0x7E) return false;
  return true;
}

std::uint8_t Checksum(const std::uint8_t* p, std::size_t n) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < n; ++i) sum += p[i];
  return static_cast<std::uint8_t>(sum);
}

ParseResult ParseLevel0or1(const std::uint8_t* p, std::size_t size, EntryHeader& out) {
  const std::size_t base =
      static_cast<std::size_t>(p[field::kBaseSize]) + field::kSizeAndChecksumLength;
  if (base < field::kCommonLength) return Damaged("ヘッダーが短すぎます");
  if (size < base) return NeedMore(base);
  if (Checksum(p + field::kChecksummedFrom, base - field::kChecksummedFrom) != p[field::kChecksum])
    return Damaged("ヘッダーのチェックサムが一致しません");
  const std::size_t nameLen = p[field::kNameLength];
  const int level = p[field::kLevel];
  out.level = level;
  out.attribute = p[field::kAttribute];
  out.dosStamp = arc::Le32(p + field::kTime);
  std::uint64_t packed = arc::Le32(p + field::kPackedSize);
  out.originalSize = arc::Le32(p + field::kOriginalSize);
  if (field::kName + nameLen > base) return Damaged("名前がヘッダーの外まで続いています");
  out.fileName = CutAtNul(p + field::kName, nameLen);
  const std::size_t nameEnd = field::kName + nameLen;
  if (level == 0) {
    std::size_t pos = nameEnd;
    if (pos + field::kCrcLength <= base) {
      out.dataCrc = arc::Le16(p + pos + field::kDataCrcAfterName);
      pos += field::kCrcLength;
    } else {
      out.hasDataCrc = false;
    }
    if (pos + field::kUnixAreaMinLength <= base && p[pos] == 'U') {
      out.osId = 'U';
      out.unixTime = static_cast<std::int64_t>(arc::Le32(p + pos + field::kUnixAreaTime));
      out.unixMode = arc::Le16(p + pos + field::kUnixAreaMode);
    } else if (pos < base) {
      out.osId = p[pos];
    }
    out.packedSize = packed;
    out.headerLength = base;
    return {ParseStatus::ok, 0, {}};
  }
  // Level 1: CRC, OS id, then the size of the first extended header.
  if (nameEnd + field::kLevel1AfterName > base) return Damaged("レベル 1 のヘッダーが短すぎます");
  out.dataCrc = arc::Le16(p + nameEnd + field::kDataCrcAfterName);
  out.osId = p[nameEnd + field::kOsIdAfterName];
  constexpr std::size_t kFraming = field::kExtensionData + field::kShortNextSize;
  std::size_t next = arc::Le16(p + base - field::kShortNextSize);
  std::size_t at = base;
  std::uint64_t extTotal = 0;
  ExtState st;
  std::string error;
  for (std::size_t count = 0; next != 0; ++count) {
    if (count == kMaxExtendedHeaders) return Damaged(arc::msg::TooManyExtendedHeaders());
    if (next < kFraming) return Damaged("拡張ヘッダーのサイズが小さすぎます");
    if (at + next > kMaxHeaderLength) return Damaged("拡張ヘッダーが長すぎます");
    if (size < at + next) return NeedMore(at + next);
    if (!ApplyExtension(p + at, next - kFraming, at, out, st, error)) return Damaged(error);
    extTotal += next;
    at += next;
    next = arc::Le16(p + at - field::kShortNextSize);
  }
  if (st.has64) {
    out.packedSize = st.packed64;
    out.originalSize = st.original64;
  } else {
    if (packed < extTotal) return Damaged("圧縮サイズが拡張ヘッダーより小さくなっています");
    out.packedSize = packed - extTotal;
  }
  out.headerLength = at;
  return {ParseStatus::ok, 0, {}};
}

ParseResult ParseLevel2or3(const std::uint8_t* p, std::size_t size, EntryHeader& out) {
  const int level = p[field::kLevel];
  const std::size_t fixed = level == 2 ? field::kLevel2Fixed : field::kLevel3Fixed;
  if (size < fixed) return NeedMore(fixed);
  std::size_t total;
  std::size_t next;
  std::size_t sizeWidth;
  if (level == 2) {
    total = arc::Le16(p + field::kTotalLength);
    next = arc::Le16(p + field::kLevel2NextSize);
    sizeWidth = field::kShortNextSize;
  } else {
    if (arc::Le16(p + field::kWordSize) != 4)
      return Damaged("レベル 3 のヘッダーの語長が 4 ではありません");
    total = arc::Le32(p + field::kLevel3TotalLength);
    next = arc::Le32(p + field::kLevel3NextSize);
    sizeWidth = field::kLongNextSize;
  }
  if (total < fixed) return Damaged("ヘッダーの長さが小さすぎます");
  if (total > kMaxHeaderLength) return Damaged("ヘッダーが長すぎます");
  if (size < total) return NeedMore(total);
  out.level = level;
  out.method.assign(reinterpret_cast<const char*>(p + field::kMethod), field::kMethodLength);
  out.packedSize = arc::Le32(p + field::kPackedSize);
  out.originalSize = arc::Le32(p + field::kOriginalSize);
  out.unixTime = static_cast<std::int64_t>(arc::Le32(p + field::kTime));
  out.attribute = p[field::kAttribute];
  out.dataCrc = arc::Le16(p + field::kDataCrc);
  out.osId = p[field::kOsId];
  std::size_t at = fixed;
  ExtState st;
  std::string error;
  for (std::size_t count = 0; next != 0; ++count) {
    if (count == kMaxExtendedHeaders) return Damaged(arc::msg::TooManyExtendedHeaders());
    if (next < field::kExtensionData + sizeWidth)
      return Damaged("拡張ヘッダーのサイズが小さすぎます");
    // Some writers count the header two bytes short; the chain of extended
    // headers then tells where the data really starts.
    if (at + next > total + 2 * sizeWidth)
      return Damaged("拡張ヘッダーがヘッダーの外まで続いています");
    if (size < at + next) return NeedMore(at + next);
    if (!ApplyExtension(p + at, next - field::kExtensionData - sizeWidth, at, out, st, error))
      return Damaged(error);
    at += next;
    next = sizeWidth == field::kShortNextSize ? arc::Le16(p + at - sizeWidth)
                                              : arc::Le32(p + at - sizeWidth);
  }
  if (at > total) total = at;
  if (st.hasHeaderCrc) {
    std::vector<std::uint8_t> copy(p, p + total);
    copy[st.crcOffset] = 0;
    copy[st.crcOffset + 1] = 0;
    if (crc16(0, copy.data(), copy.size()) != st.headerCrc)
      return Damaged(arc::msg::HeaderCrcMismatch());
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
  if (size < field::kCommonLength) return NeedMore(field::kCommonLength);
  if (!HasMethodShape(data))
    return Damaged("LZH のヘッダーではありません (圧縮方式の識別子がありません)");
  const int level = data[field::kLevel];
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
      return Damaged("不明なヘッダーレベルです: " + std::to_string(level));
  }
  if (r.status == ParseStatus::ok)
    out.method.assign(reinterpret_cast<const char*>(data + field::kMethod), field::kMethodLength);
  return r;
}

}  // namespace lzh
