#include "ArjHeader.h"

#include "ArjCrc32.h"
#include "common/LittleEndian.h"
#include "common/Messages.h"

namespace arj {
namespace {

// Extended headers are skipped; these bound what a damaged size field can make us read.
constexpr std::size_t kMaxExtendedHeaders = 64;
constexpr std::size_t kMaxExtendedBytes = 1 << 20;

using arc::Le16;
using arc::Le32;

HeaderParse Bad(std::string message) { return {HeaderStatus::bad, 0, std::move(message)}; }
HeaderParse More(std::size_t needed) { return {HeaderStatus::needMore, needed, {}}; }

// The NUL-terminated text at p, within [p, end); false when no NUL ends it.
bool Text(const std::uint8_t*& p, const std::uint8_t* end, std::string& out) {
  const std::uint8_t* q = p;
  while (q < end && *q != 0) ++q;
  if (q == end) return false;
  out.assign(reinterpret_cast<const char*>(p), static_cast<std::size_t>(q - p));
  p = q + 1;
  return true;
}

}  // namespace

HeaderParse ParseHeader(const std::uint8_t* data, std::size_t size, Header& out) {
  if (size < 4) return More(4);
  if (data[0] != kIdLow || data[1] != kIdHigh) return Bad("ARJ のヘッダー識別子がありません");
  const std::size_t basic = Le16(data + 2);
  if (basic == 0) {
    out = Header{};
    out.length = 4;
    return {HeaderStatus::end, 0, {}};
  }
  if (basic > kMaxBasicHeader) return Bad("ヘッダーが ARJ の上限より大きくなっています");
  if (basic < kFixedPart + 2) return Bad("ヘッダーが短すぎます");
  std::size_t pos = 4 + basic + 4;
  if (size < pos) return More(pos);
  const std::uint8_t* b = data + 4;
  if (Crc32(0, b, basic) != Le32(b + basic)) return Bad(arc::msg::HeaderCrcMismatch());

  Header h;
  h.firstHeaderSize = b[0];
  if (h.firstHeaderSize < kFixedPart || h.firstHeaderSize > basic)
    return Bad("ヘッダーの固定部のサイズが正しくありません");
  h.version = b[1];
  h.minVersion = b[2];
  h.hostOs = b[3];
  h.flags = b[4];
  h.method = b[5];
  h.type = static_cast<FileType>(b[6]);
  h.stamp = Le32(b + 8);
  h.packedSize = Le32(b + 12);
  h.originalSize = Le32(b + 16);
  h.crc = Le32(b + 20);
  h.fileMode = Le16(b + 26);
  const std::uint8_t* p = b + h.firstHeaderSize;
  const std::uint8_t* end = b + basic;
  if (!Text(p, end, h.name)) return Bad("ファイル名が終わっていません");
  if (!Text(p, end, h.comment)) return Bad("コメントが終わっていません");

  for (std::size_t count = 0;; ++count) {
    if (size < pos + 2) return More(pos + 2);
    const std::size_t ext = Le16(data + pos);
    pos += 2;
    if (ext == 0) break;
    if (count == kMaxExtendedHeaders || pos > kMaxExtendedBytes)
      return Bad(arc::msg::TooManyExtendedHeaders());
    if (size < pos + ext + 4) return More(pos + ext + 4);
    if (Crc32(0, data + pos, ext) != Le32(data + pos + ext))
      return Bad("拡張ヘッダーの CRC が一致しません");
    pos += ext + 4;
  }
  h.length = pos;
  out = std::move(h);
  return {HeaderStatus::ok, 0, {}};
}

}  // namespace arj
