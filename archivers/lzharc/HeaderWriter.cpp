#include "HeaderWriter.h"

#include "HeaderLayout.h"
#include "lzh/Crc16.h"

namespace lzh {
namespace {

void Put16(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  v[at] = static_cast<std::uint8_t>(x);
  v[at + 1] = static_cast<std::uint8_t>(x >> 8);
}
void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<std::uint8_t>(x >> (8 * i));
}
void Put64(std::vector<std::uint8_t>& v, std::size_t at, std::uint64_t x) {
  Put32(v, at, static_cast<std::uint32_t>(x));
  Put32(v, at + 4, static_cast<std::uint32_t>(x >> 32));
}

// Appends an extended header: type, data, and room for the next size;
// returns the offset of its data.
std::size_t AddExtension(std::vector<std::uint8_t>& v, Extension type, const std::string& data) {
  const std::size_t start = v.size();
  // The size of this header sits in the field just before it.
  Put16(v, start - field::kShortNextSize,
        static_cast<std::uint32_t>(field::kExtensionData + data.size() + field::kShortNextSize));
  v.push_back(static_cast<std::uint8_t>(type));
  v.insert(v.end(), data.begin(), data.end());
  v.insert(v.end(), field::kShortNextSize, 0);
  return start + field::kExtensionData;
}

std::string Bytes(std::size_t n) { return std::string(n, '\0'); }

}  // namespace

std::vector<std::uint8_t> BuildLevel2Header(const NewEntryHeader& e) {
  if (e.method.size() != 5) throw std::invalid_argument("圧縮方式の識別子は 5 バイトです");
  if (e.fileName.size() + e.dirName.size() > 60000)
    throw std::length_error("名前が長すぎて LZH のヘッダーに入りません");
  std::vector<std::uint8_t> v(field::kLevel2Fixed, 0);
  for (std::size_t i = 0; i < field::kMethodLength; ++i)
    v[field::kMethod + i] = static_cast<std::uint8_t>(e.method[i]);
  const bool wide = e.wideSizes || NeedsWideSizes(e.packedSize) || NeedsWideSizes(e.originalSize);
  Put32(v, field::kPackedSize, static_cast<std::uint32_t>(e.packedSize));
  Put32(v, field::kOriginalSize, static_cast<std::uint32_t>(e.originalSize));
  std::int64_t t = e.unixTime < 0 ? 0 : e.unixTime;
  if (t > 0xFFFFFFFFll) t = 0xFFFFFFFFll;
  Put32(v, field::kTime, static_cast<std::uint32_t>(t));
  v[field::kAttribute] = 0x20;
  v[field::kLevel] = 2;
  Put16(v, field::kDataCrc, e.dataCrc);
  v[field::kOsId] = 'U';
  const std::size_t crcAt = AddExtension(v, Extension::headerCrc, Bytes(field::kCrcLength));
  AddExtension(v, Extension::fileName, e.fileName);
  if (!e.dirName.empty()) AddExtension(v, Extension::dirName, e.dirName);
  if (e.unixMode != 0) {
    std::string m = Bytes(2);
    m[0] = static_cast<char>(e.unixMode & 0xFF);
    m[1] = static_cast<char>(e.unixMode >> 8);
    AddExtension(v, Extension::unixMode, m);
  }
  {
    std::string ts = Bytes(4);
    for (int i = 0; i < 4; ++i) ts[i] = static_cast<char>(static_cast<std::uint32_t>(t) >> (8 * i));
    AddExtension(v, Extension::unixTime, ts);
  }
  if (wide) {
    const std::size_t at = AddExtension(v, Extension::wideSizes, Bytes(field::kWideSizesLength));
    Put64(v, at + field::kWidePackedSize, e.packedSize);
    Put64(v, at + field::kWideOriginalSize, e.originalSize);
  }
  // A header whose length has a zero low byte would read as the end mark.
  if ((v.size() & 0xFF) == 0) v.push_back(0);
  if (v.size() > 0xFFFF) throw std::length_error("名前が長すぎて LZH のヘッダーに入りません");
  Put16(v, field::kTotalLength, static_cast<std::uint32_t>(v.size()));
  Put16(v, crcAt, crc16(0, v.data(), v.size()));
  return v;
}

}  // namespace lzh
