// A zstd file decoded once by libzstd: frames to the end of the file, each
// frame's content checksum (when it has one) checked at its end; skippable
// frames are passed over, anything else is damage.
#pragma once

#include <zstd.h>

#include <cstdint>

#include "CompressedInput.h"
#include "DecodedStream.h"

namespace tararc {

class ZstdStream : public DecodedStream {
 public:
  ZstdStream(int fd, std::uint64_t offset);
  ~ZstdStream() override;

 private:
  std::size_t Decode(char* to, std::size_t room, bool& ended) override;
  std::size_t Step(ZSTD_outBuffer& out, const void* src, std::size_t size);

  CompressedInput in_;
  ZSTD_DCtx* d_;
  std::size_t pending_ = 0;  // what the last call still wanted: 0 between frames
  bool any_ = false;
};

}  // namespace tararc
