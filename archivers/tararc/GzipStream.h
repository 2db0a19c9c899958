// A gzip file decoded once: one member after another (our writer makes a
// member of every MiB), each checked by its CRC-32 and length. Decoded
// ahead, a member is inflated whole by libdeflate, which checks it before
// any of it is handed out; otherwise, or when libdeflate refuses a member,
// zlib inflates it as it is read and tells what is wrong with it. Bytes
// after the last member that start no new member are ignored, as gzip
// does.
#pragma once

#include <zlib.h>

#include <cstdint>

#include "CompressedInput.h"
#include "DecodedStream.h"

struct libdeflate_decompressor;

namespace tararc {

class GzipStream : public DecodedStream {
 public:
  GzipStream(int fd, std::uint64_t offset);
  ~GzipStream() override;

 private:
  std::size_t Decode(char* to, std::size_t room, bool& ended) override;
  bool NextMember();
  std::size_t Inflate(char* to, std::size_t room);

  CompressedInput in_;
  z_stream z_{};
  libdeflate_decompressor* whole_ = nullptr;
  bool memberOpen_ = true;  // inside a member (the first starts at the offset)
  bool fresh_ = true;       // and nothing of it decoded yet
  bool triedLoad_ = false;
};

}  // namespace tararc
