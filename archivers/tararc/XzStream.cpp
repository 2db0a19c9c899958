#include "XzStream.h"

#include <new>
#include <string>

#include "common/Messages.h"

namespace tararc {

XzStream::XzStream(int fd, std::uint64_t offset) : in_(fd, offset) {
  if (lzma_stream_decoder(&s_, UINT64_MAX, LZMA_CONCATENATED) != LZMA_OK)
    throw StreamError("xz の伸長を始められません");
}

XzStream::~XzStream() { lzma_end(&s_); }

std::size_t XzStream::Decode(char* to, std::size_t room, bool& ended) {
  s_.next_out = reinterpret_cast<std::uint8_t*>(to);
  s_.avail_out = room;
  while (s_.avail_out > 0) {
    if (action_ == LZMA_RUN && in_.size() == 0 && !in_.Refill()) action_ = LZMA_FINISH;
    s_.next_in = in_.data();
    s_.avail_in = in_.size();
    const std::size_t before = s_.avail_in;
    const lzma_ret ret = lzma_code(&s_, action_);
    in_.Consume(before - s_.avail_in);
    if (ret == LZMA_STREAM_END) {
      ended = true;
      break;
    }
    if (ret == LZMA_OK) continue;
    switch (ret) {
      case LZMA_BUF_ERROR:
        throw StreamError("xz ストリームが途中で切れています");
      case LZMA_DATA_ERROR:
      case LZMA_FORMAT_ERROR:
        throw StreamError("xz ストリームが壊れています");
      case LZMA_MEM_ERROR:
        throw StreamError(arc::msg::OutOfMemory());
      default:
        throw StreamError("xz ストリームが壊れています (" + std::to_string(ret) + ")");
    }
  }
  return room - s_.avail_out;
}

}  // namespace tararc
