// arj_decode_fuzz: the ARJ method decoders on arbitrary data. Input layout:
// one byte picks the method (0-4), four bytes (little-endian) give the
// original size (at most 1 MiB), four more the CRC-32, the rest is the
// packed data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "arj/ArjDecoder.h"
#include "tests/support/MemoryStreams.h"

namespace {

class CountingSink : public lzh::Sink {
 public:
  void write(const std::uint8_t*, std::size_t n) override { bytes += n; }
  std::uint64_t bytes = 0;
};

std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 9) return 0;
  arj::Header h;
  h.method = data[0] % 5;
  h.originalSize = Le32(data + 1) % ((1u << 20) + 1);
  h.crc = Le32(data + 5);
  h.packedSize = static_cast<std::uint32_t>(size - 9);
  lzh::MemorySource in(data + 9, size - 9);
  CountingSink out;
  arj::DecodeOutcome r = arj::DecodeData(h, in, out);
  if (out.bytes > h.originalSize || in.position() > size - 9) std::abort();
  if (r.ok && out.bytes != h.originalSize) std::abort();
  return 0;
}
