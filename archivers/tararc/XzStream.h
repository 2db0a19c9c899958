// An xz file decoded once by liblzma, which checks every block's check,
// the index and the footer of each stream (streams may follow one another,
// with stream padding between them); anything else after them is damage.
#pragma once

#include <lzma.h>

#include <cstdint>

#include "CompressedInput.h"
#include "DecodedStream.h"

namespace tararc {

class XzStream : public DecodedStream {
 public:
  XzStream(int fd, std::uint64_t offset);
  ~XzStream() override;

 private:
  std::size_t Decode(char* to, std::size_t room, bool& ended) override;

  CompressedInput in_;
  lzma_stream s_ = LZMA_STREAM_INIT;
  lzma_action action_ = LZMA_RUN;
};

}  // namespace tararc
