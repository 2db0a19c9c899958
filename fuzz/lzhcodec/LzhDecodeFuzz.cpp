// lzh_decode_fuzz: feeds arbitrary bytes to every decoder. Input layout: one byte picks the
// method, four bytes (little-endian) give the original size (at most 1 MiB), the rest is
// the compressed data.
#include "LzhCodec.h"
#include "tests/support/MemoryStreams.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const char* const kMethods[] = {"-lh0-", "-lh1-", "-lh4-", "-lh5-", "-lh6-",
                                "-lh7-", "-lzs-", "-lz4-", "-lz5-"};

class CountingSink : public lzh::Sink {
 public:
  void write(const std::uint8_t*, std::size_t n) override { bytes += n; }
  std::uint64_t bytes = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  const char* method = kMethods[data[0] % (sizeof kMethods / sizeof kMethods[0])];
  std::uint64_t original =
      (data[1] | (data[2] << 8) | (data[3] << 16) | (std::uint64_t{data[4]} << 24)) %
      ((1u << 20) + 1);
  lzh::MemorySource in(data + 5, size - 5);
  CountingSink out;
  lzh::DecodeResult r = lzh::decode(method, in, size - 5, out, original);
  if (out.bytes != r.written || r.written > original || in.position() > size - 5) std::abort();
  if (r.status == lzh::Status::kOk && r.written != original) std::abort();
  return 0;
}
