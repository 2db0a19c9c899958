// -lh0- / -lz4-: stored data.
#include "Crc16.h"
#include "Methods.h"

#include <algorithm>
#include <vector>

namespace lzh {

DecodeResult decodeStored(Source& in, std::uint64_t packedSize, Sink& out,
                          std::uint64_t originalSize) {
  DecodeResult r;
  std::vector<std::uint8_t> buf(1 << 16);
  std::uint64_t want = std::min(packedSize, originalSize);
  while (r.written < want) {
    std::size_t n =
        in.read(buf.data(),
                static_cast<std::size_t>(std::min<std::uint64_t>(buf.size(), want - r.written)));
    if (n == 0) break;
    r.crc = crc16(r.crc, buf.data(), n);
    out.write(buf.data(), n);
    r.written += n;
  }
  if (r.written < originalSize) {
    r.status = Status::kFailed;
    r.message = "無圧縮データがファイルの終わりより前で途切れています";
  }
  return r;
}

EncodeResult encodeStored(Source& in, Sink& out, std::uint64_t packedLimit) {
  EncodeResult r;
  std::vector<std::uint8_t> buf(1 << 16);
  for (;;) {
    std::size_t n = in.read(buf.data(), buf.size());
    if (n == 0) break;
    r.crc = crc16(r.crc, buf.data(), n);
    r.originalSize += n;
    if (packedLimit > 0 && r.packedSize + n >= packedLimit) {
      r.limitReached = true;
      return r;
    }
    out.write(buf.data(), n);
    r.packedSize += n;
  }
  return r;
}

}  // namespace lzh
