#include "FileStreams.h"
#include "common/Messages.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace lzh {
namespace {
std::string Reason(bool write, const std::string& name) {
  const std::string quoted = arc::msg::Quoted(name);
  return write ? arc::msg::CannotWrite(quoted, std::strerror(errno))
               : arc::msg::CannotRead(quoted, std::strerror(errno));
}
}  // namespace

FileRangeSource::FileRangeSource(int fd, std::uint64_t offset, std::uint64_t length,
                                 std::string name)
    : fd_(fd), offset_(offset), length_(length), name_(std::move(name)) {}

std::size_t FileRangeSource::read(std::uint8_t* buf, std::size_t n) {
  const std::uint64_t left = length_ - pos_;
  if (left == 0 || n == 0) return 0;
  const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(n, left));
  for (;;) {
    ssize_t got = ::pread(fd_, buf, want, static_cast<off_t>(offset_ + pos_));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw FileError(Reason(false, name_));
    pos_ += static_cast<std::uint64_t>(got);
    return static_cast<std::size_t>(got);
  }
}

std::size_t FileSource::read(std::uint8_t* buf, std::size_t n) {
  for (;;) {
    ssize_t got = ::read(fd_, buf, n);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw FileError(Reason(false, name_));
    return static_cast<std::size_t>(got);
  }
}

void WriteAll(int fd, const void* buf, std::size_t n, const std::string& name) {
  auto p = static_cast<const char*>(buf);
  while (n > 0) {
    ssize_t put = ::write(fd, p, n);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) throw FileError(Reason(true, name));
    p += put;
    n -= static_cast<std::size_t>(put);
  }
}

void ReadAt(int fd, void* buf, std::size_t n, std::uint64_t offset, const std::string& name) {
  auto p = static_cast<char*>(buf);
  while (n > 0) {
    ssize_t got = ::pread(fd, p, n, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw FileError(Reason(false, name));
    if (got == 0) throw FileError(arc::msg::Quoted(name) + " が途中で終わっています");
    p += got;
    n -= static_cast<std::size_t>(got);
    offset += static_cast<std::uint64_t>(got);
  }
}

void FileSink::write(const std::uint8_t* buf, std::size_t n) {
  WriteAll(fd_, buf, n, name_);
  written_ += n;
}

}  // namespace lzh
