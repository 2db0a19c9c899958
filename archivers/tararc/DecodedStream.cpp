#include "DecodedStream.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>

namespace tararc {
namespace {

// What one read decodes when the stream is not decoded ahead.
constexpr std::size_t kPiece = 256 << 10;

}  // namespace

DecodedStream::~DecodedStream() { ReleaseRegion(); }

void DecodedStream::ReleaseRegion() {
  if (region_ != nullptr) ::munmap(region_, regionSize_);
  region_ = nullptr;
  regionSize_ = 0;
}

bool DecodedStream::DecodeAhead(std::size_t limit) {
  if (!error_.empty()) throw StreamError(error_);
  if (ended_ || region_ != nullptr) return ended_;
  void* p = ::mmap(nullptr, limit, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p == MAP_FAILED) return false;  // read as it comes instead
  // Fewer page faults on the tens of MiB a month decodes to.
  ::madvise(p, limit, MADV_HUGEPAGE);
  region_ = static_cast<char*>(p);
  regionSize_ = limit;
  std::size_t used = end_ - pos_;
  if (used > 0) std::memcpy(region_, data_ + pos_, used);
  ahead_ = true;
  try {
    while (!ended_ && used < limit) used += Decode(region_ + used, limit - used, ended_);
  } catch (const StreamError& e) {
    ahead_ = false;
    error_ = e.what();
    throw;
  }
  ahead_ = false;
  data_ = region_;
  pos_ = 0;
  end_ = used;
  return ended_;
}

bool DecodedStream::Fill() {
  if (!error_.empty()) throw StreamError(error_);
  while (pos_ == end_) {
    if (ended_) return false;
    ReleaseRegion();
    if (own_.empty()) own_.resize(kPiece);
    try {
      end_ = Decode(own_.data(), own_.size(), ended_);
    } catch (const StreamError& e) {
      error_ = e.what();
      throw;
    }
    data_ = own_.data();
    pos_ = 0;
  }
  return true;
}

std::string_view DecodedStream::Next(std::size_t n) {
  if (!Fill()) return {};
  const std::size_t k = std::min(n, end_ - pos_);
  const std::string_view piece(data_ + pos_, k);
  pos_ += k;
  return piece;
}

std::size_t DecodedStream::Read(char* to, std::size_t n) {
  const std::string_view piece = Next(n);
  if (!piece.empty()) std::memcpy(to, piece.data(), piece.size());
  return piece.size();
}

std::uint64_t DecodedStream::Skip(std::uint64_t n) {
  std::uint64_t done = 0;
  while (done < n && Fill()) {
    const std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(n - done, end_ - pos_));
    pos_ += k;
    done += k;
  }
  return done;
}

void DecodedStream::Finish() {
  for (;;) {
    pos_ = end_;
    if (!Fill()) return;
  }
}

}  // namespace tararc
