#include "GzipCheck.h"
#include "common/Messages.h"

#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <vector>

namespace tararc {

std::optional<std::string> CheckGzipStream(int fd, std::uint64_t offset) {
  z_stream z{};
  if (inflateInit2(&z, 15 + 16) != Z_OK) return arc::msg::OutOfMemory();
  std::vector<unsigned char> in(1 << 16), out(1 << 18);
  std::uint64_t at = offset;
  bool memberOpen = true;  // inside a member (the first starts at offset)
  std::optional<std::string> error;
  for (;;) {
    if (z.avail_in == 0) {
      ssize_t n = ::pread(fd, in.data(), in.size(), static_cast<off_t>(at));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        error = arc::msg::CannotRead("書庫");
        break;
      }
      if (n == 0) {
        if (memberOpen) error = "gzip のストリームが途中で切れています";
        break;
      }
      at += static_cast<std::uint64_t>(n);
      z.next_in = in.data();
      z.avail_in = static_cast<uInt>(n);
    }
    if (!memberOpen) {
      // Another member only when the gzip magic follows; anything else is
      // trailing data, ignored.
      unsigned char magic[2] = {0, 0};
      const std::uint64_t next = at - z.avail_in;
      if (::pread(fd, magic, 2, static_cast<off_t>(next)) != 2 || magic[0] != 0x1f ||
          magic[1] != 0x8b)
        break;
      inflateReset(&z);
      memberOpen = true;
    }
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int r = inflate(&z, Z_NO_FLUSH);
    if (r == Z_STREAM_END) {
      memberOpen = false;
      continue;
    }
    if (r != Z_OK && r != Z_BUF_ERROR) {
      error = "gzip のデータが壊れています" + arc::msg::Because(z.msg ? z.msg : "inflate error");
      break;
    }
  }
  inflateEnd(&z);
  return error;
}

}  // namespace tararc
