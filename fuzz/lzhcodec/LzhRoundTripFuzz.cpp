// lzh_roundtrip_fuzz: compresses arbitrary bytes and checks that they decode back exactly.
// The first byte picks the method (-lh5-, -lh6-, -lh7-) and the effort (1..9).
#include "LzhCodec.h"
#include "tests/support/MemoryStreams.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const char* const kMethods[] = {"-lh5-", "-lh6-", "-lh7-"};
  const char* method = kMethods[data[0] % 3];
  const int effort = 1 + (data[0] / 3) % 9;
  lzh::MemorySource src(data + 1, size - 1);
  lzh::VectorSink packed;
  lzh::EncodeResult e = lzh::encode(method, src, packed, effort);
  if (e.originalSize != size - 1 || e.packedSize != packed.data.size()) std::abort();
  lzh::MemorySource in(packed.data);
  lzh::VectorSink out;
  lzh::DecodeResult d = lzh::decode(method, in, packed.data.size(), out, size - 1);
  if (d.status != lzh::Status::kOk || d.crc != e.crc || out.data.size() != size - 1) std::abort();
  if (size > 1 && std::memcmp(out.data.data(), data + 1, size - 1) != 0) std::abort();
  return 0;
}
