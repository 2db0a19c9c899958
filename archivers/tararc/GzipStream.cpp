#include "GzipStream.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstdint>
#include <new>

#include "common/Messages.h"

namespace tararc {

GzipStream::GzipStream(int fd, std::uint64_t offset) : in_(fd, offset) {
  if (inflateInit2(&z_, 15 + 16) != Z_OK) throw std::bad_alloc();
}

GzipStream::~GzipStream() {
  inflateEnd(&z_);
  if (whole_ != nullptr) libdeflate_free_decompressor(whole_);
}

// At a member's end: another member only when the gzip magic follows.
bool GzipStream::NextMember() {
  if (!in_.Ensure(2) || in_.data()[0] != 0x1f || in_.data()[1] != 0x8b) return false;
  memberOpen_ = true;
  fresh_ = true;
  return true;
}

std::size_t GzipStream::Inflate(char* to, std::size_t room) {
  if (fresh_) {
    inflateReset(&z_);
    fresh_ = false;
  }
  // At the file's end zlib may still hold output; only then is it cut.
  const bool more = in_.Refill();
  z_.next_in = more ? const_cast<Bytef*>(in_.data()) : nullptr;
  z_.avail_in = more ? static_cast<uInt>(std::min<std::size_t>(in_.size(), UINT32_MAX)) : 0;
  z_.next_out = reinterpret_cast<Bytef*>(to);
  z_.avail_out = static_cast<uInt>(std::min<std::size_t>(room, UINT32_MAX));
  const uInt inBefore = z_.avail_in, outBefore = z_.avail_out;
  const int r = inflate(&z_, Z_NO_FLUSH);
  in_.Consume(inBefore - z_.avail_in);
  const std::size_t produced = outBefore - z_.avail_out;
  if (r == Z_STREAM_END) {
    memberOpen_ = false;
  } else if (r == Z_OK || r == Z_BUF_ERROR) {
    if (!more && produced == 0) throw StreamError("gzip のストリームが途中で切れています");
  } else {
    throw StreamError("gzip のデータが壊れています" +
                      arc::msg::Because(z_.msg ? z_.msg : "inflate error"));
  }
  return produced;
}

std::size_t GzipStream::Decode(char* to, std::size_t room, bool& ended) {
  std::size_t produced = 0;
  while (produced < room) {
    if (!memberOpen_ && !NextMember()) {
      ended = true;
      break;
    }
    if (fresh_ && ahead()) {
      if (!triedLoad_) {
        triedLoad_ = true;
        in_.LoadRest(kAheadLimit);
        if (in_.whole()) whole_ = libdeflate_alloc_decompressor();
      }
      if (whole_ != nullptr && in_.whole()) {
        std::size_t inUsed = 0, outUsed = 0;
        const libdeflate_result r = libdeflate_gzip_decompress_ex(
            whole_, in_.data(), in_.size(), to + produced, room - produced, &inUsed, &outUsed);
        if (r == LIBDEFLATE_SUCCESS) {
          in_.Consume(inUsed);
          produced += outUsed;
          memberOpen_ = false;
          continue;
        }
        // Too long for the room, or damaged: zlib decodes it and tells why.
      }
    }
    produced += Inflate(to + produced, room - produced);
  }
  return produced;
}

}  // namespace tararc
