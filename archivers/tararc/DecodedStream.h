// A compressed stream (gzip, xz, zstd) decoded once for the tar reader,
// with its codec's own checks to its very end: gzip's CRC-32 and length of
// every member, xz's block checks, index and footer, zstd's frame
// checksums. libarchive stops where the tar inside ends and does not check
// a gzip CRC at all, so the checks are ours.
//
// DecodeAhead decodes the whole stream into memory first when it fits a
// bound, so damage anywhere is known before one member is handed out; a
// longer stream is decoded as it is read and checked when its end is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace tararc {

// The stream is damaged, cut short or unreadable; what() says which.
class StreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class DecodedStream {
 public:
  // A month of logs is some tens of MiB of tar; the bound keeps a stream far
  // beyond that from taking its whole size in memory. The memory is
  // reserved, not committed: only the decoded bytes take pages.
  static constexpr std::size_t kAheadLimit = std::size_t{256} << 20;

  virtual ~DecodedStream();
  DecodedStream(const DecodedStream&) = delete;
  DecodedStream& operator=(const DecodedStream&) = delete;

  // Decodes the rest of the stream into memory while it stays within limit
  // bytes. True when the stream was decoded and checked to its end; false
  // when it is longer (what is past the bound is decoded as it is read).
  // Throws StreamError on damage.
  bool DecodeAhead(std::size_t limit = kAheadLimit);

  // Up to n decoded bytes in place, valid until the next call; empty at the
  // end, once the stream checked whole. Throws StreamError on damage.
  std::string_view Next(std::size_t n);
  // Copies up to n decoded bytes to to; 0 at the end.
  std::size_t Read(char* to, std::size_t n);
  // Passes over up to n decoded bytes; fewer only at the end.
  std::uint64_t Skip(std::uint64_t n);
  // Reads to the end, so that the whole stream is checked.
  void Finish();

 protected:
  DecodedStream() = default;

  // Decodes the next bytes into to (room > 0 bytes there); returns how many,
  // and sets ended once the stream ended and checked whole (the bytes
  // returned with it are its last). Throws StreamError on damage.
  virtual std::size_t Decode(char* to, std::size_t room, bool& ended) = 0;
  // True while DecodeAhead runs: room is then the memory left below the
  // bound, and a codec may decode a whole unit of the stream at once.
  bool ahead() const { return ahead_; }

 private:
  bool Fill();
  void ReleaseRegion();

  std::vector<char> own_;   // the piece being read when not decoded ahead
  char* region_ = nullptr;  // the reserved memory the stream was decoded ahead into
  std::size_t regionSize_ = 0;
  const char* data_ = nullptr;  // decoded bytes not yet handed out: data_[pos_, end_)
  std::size_t pos_ = 0, end_ = 0;
  bool ended_ = false;
  bool ahead_ = false;
  std::string error_;  // the damage met, thrown again on every later read
};

}  // namespace tararc
