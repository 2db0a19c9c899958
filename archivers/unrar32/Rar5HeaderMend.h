// One RAR 5 volume as libarchive's RAR 5 reader is given it: a header
// holding bytes after the fields it knows (a later writer's fields, before
// the extra area) loses those bytes and gets its size and CRC anew, since
// that reader does not skip them and loses step ("Too small block").
// Everything else, and a file that is no RAR 5 archive, passes byte for
// byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace unrar {

// True when a header of a RAR 5 block holds such bytes: header is the
// block's header data (type onwards), headerSize bytes.
bool HasUnknownHeaderBytes(std::string_view header);

// True when some header of the RAR 5 volume at path holds such bytes (read
// without the data; false for anything else).
bool NeedsHeaderMend(const std::string& path);

class Rar5HeaderMend {
 public:
  // Reads path; throws std::runtime_error when it cannot be opened.
  explicit Rar5HeaderMend(const std::string& path);
  ~Rar5HeaderMend();
  Rar5HeaderMend(const Rar5HeaderMend&) = delete;
  Rar5HeaderMend& operator=(const Rar5HeaderMend&) = delete;

  // The next piece of the mended volume, empty at its end; valid until the
  // next call.
  std::string_view Read();

 private:
  std::string PullExact(std::size_t n);
  void AtBlock();

  int fd_ = -1;
  std::uint64_t pos_ = 0;
  std::string pending_, out_, buffer_;
  std::uint64_t copyLeft_ = 0;  // block data to pass unchanged
  bool started_ = false;        // the signature is passed
  bool passAll_ = false;
};

}  // namespace unrar
