// Stand-in for the codec library while it is not part of the build: stores
// (-lh0-, -lz4-) and folders (-lhd-) only, with the archive CRC-16.
#include <stdexcept>

#include "lzh/Crc16.h"
#include "lzh/LzhCodec.h"

namespace lzh {

std::uint16_t crc16(std::uint16_t crc, const std::uint8_t* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int b = 0; b < 8; ++b) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
  }
  return crc;
}

bool canDecode(std::string_view m) { return m == "-lh0-" || m == "-lz4-" || m == "-lhd-"; }
bool canEncode(std::string_view m) { return m == "-lh0-"; }

EncodeResult encode(std::string_view method, Source& in, Sink& out, int, std::uint64_t packedLimit) {
  if (!canEncode(method)) throw std::invalid_argument("method not available");
  EncodeResult r;
  std::uint8_t buf[65536];
  for (std::size_t n; (n = in.read(buf, sizeof buf)) > 0;) {
    out.write(buf, n);
    r.crc = crc16(r.crc, buf, n);
    r.originalSize += n;
    r.packedSize += n;
    if (packedLimit && r.packedSize >= packedLimit) {
      r.limitReached = true;
      break;
    }
  }
  return r;
}

DecodeResult decode(std::string_view method, Source& in, std::uint64_t packedSize, Sink& out,
                    std::uint64_t originalSize) {
  DecodeResult r;
  if (!canDecode(method) || method == "-lhd-") {
    r.status = method == "-lhd-" ? Status::ok : Status::failed;
    if (r.status != Status::ok) r.message = "method not available";
    return r;
  }
  std::uint8_t buf[65536];
  std::uint64_t left = std::min(packedSize, originalSize);
  while (left > 0) {
    std::size_t n = in.read(buf, static_cast<std::size_t>(std::min<std::uint64_t>(left, sizeof buf)));
    if (n == 0) break;
    out.write(buf, n);
    r.crc = crc16(r.crc, buf, n);
    r.written += n;
    left -= n;
  }
  if (r.written != originalSize) {
    r.status = Status::failed;
    r.message = "stored data cut short";
  }
  return r;
}

}  // namespace lzh
