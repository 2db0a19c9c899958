#include "ZstdStream.h"

#include <new>
#include <string>

namespace tararc {

ZstdStream::ZstdStream(int fd, std::uint64_t offset) : in_(fd, offset), d_(ZSTD_createDCtx()) {
  if (d_ == nullptr) throw std::bad_alloc();
}

ZstdStream::~ZstdStream() { ZSTD_freeDCtx(d_); }

// One call of the decoder on src; returns the input it took.
std::size_t ZstdStream::Step(ZSTD_outBuffer& out, const void* src, std::size_t size) {
  ZSTD_inBuffer input{src, size, 0};
  const std::size_t r = ZSTD_decompressStream(d_, &out, &input);
  if (ZSTD_isError(r))
    throw StreamError(std::string("zstd ストリームが壊れています (") + ZSTD_getErrorName(r) + ")");
  pending_ = r;
  return input.pos;
}

std::size_t ZstdStream::Decode(char* to, std::size_t room, bool& ended) {
  ZSTD_outBuffer out{to, room, 0};
  while (out.pos < out.size) {
    if (in_.Refill()) {
      any_ = true;
      in_.Consume(Step(out, in_.data(), in_.size()));
      continue;
    }
    // The file ended: drain what the decoder still holds.
    if (!any_) throw StreamError("zstd ストリームが空です");
    if (pending_ == 0) {
      ended = true;
      break;
    }
    const std::size_t before = out.pos;
    Step(out, nullptr, 0);
    if (out.pos == before && pending_ != 0)
      throw StreamError("zstd ストリームが途中で切れています");
  }
  return out.pos;
}

}  // namespace tararc
