#include "CompressedInput.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "DecodedStream.h"
#include "common/Messages.h"

namespace tararc {
namespace {

constexpr std::size_t kPiece = 256 << 10;

}  // namespace

CompressedInput::CompressedInput(int fd, std::uint64_t offset) : fd_(fd), filePos_(offset) {}

std::size_t CompressedInput::ReadAt(unsigned char* to, std::size_t n) {
  std::size_t got = 0;
  while (got < n) {
    const ssize_t k = ::pread(fd_, to + got, n - got, static_cast<off_t>(filePos_));
    if (k < 0 && errno == EINTR) continue;
    if (k < 0) throw StreamError(arc::msg::CannotRead("書庫", std::strerror(errno)));
    if (k == 0) break;
    got += static_cast<std::size_t>(k);
    filePos_ += static_cast<std::uint64_t>(k);
  }
  return got;
}

bool CompressedInput::Refill() {
  if (size() > 0) return true;
  return Ensure(1);
}

bool CompressedInput::Ensure(std::size_t n) {
  if (size() >= n) return true;
  if (whole_) return false;
  // Keep what is left at the front, then read on behind it.
  const std::size_t left = size();
  if (pos_ > 0 && left > 0) std::memmove(buf_.data(), buf_.data() + pos_, left);
  pos_ = 0;
  end_ = left;
  if (buf_.size() < std::max(n, kPiece)) buf_.resize(std::max(n, kPiece));
  while (end_ < n) {
    const std::size_t got = ReadAt(buf_.data() + end_, buf_.size() - end_);
    if (got == 0) return false;
    end_ += got;
  }
  return true;
}

bool CompressedInput::LoadRest(std::size_t limit) {
  if (whole_) return true;
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const auto fileSize = static_cast<std::uint64_t>(st.st_size);
  const std::uint64_t rest = (fileSize > filePos_ ? fileSize - filePos_ : 0) + size();
  if (rest > limit) return false;
  std::vector<unsigned char> all(static_cast<std::size_t>(rest) + 1);
  const std::size_t left = size();
  // Nothing held yet: data() may be null, which memcpy must not see.
  if (left > 0) std::memcpy(all.data(), data(), left);
  // One byte more than the size said, so a file that grew is still read whole.
  std::size_t got = left + ReadAt(all.data() + left, all.size() - left);
  if (got == all.size()) {
    // It grew: read on piece by piece instead.
    buf_ = std::move(all);
    pos_ = 0;
    end_ = got;
    return false;
  }
  all.resize(got);
  buf_ = std::move(all);
  pos_ = 0;
  end_ = got;
  whole_ = true;
  return true;
}

}  // namespace tararc
