// Mends, in the tar stream before libarchive's tar reader sees it, two
// forms that reader cannot take though real writers make them:
// - a pax header over the reader's 1 MiB limit (up to kMaxPaxBytes, so the
//   work stays bounded) loses its long records that no reader needs (a
//   comment, a vendor's record over 64 KiB), keeping path, linkpath, size
//   and the sparse map;
// - a pax sparse 1.0 member whose data holds bytes after its map and
//   regions gets the size those add up to, and the bytes past them are
//   dropped, so the reader stays in step with the members after it.
// Everything else passes byte for byte, and so does a stream that is no
// tar (a lone compressed file).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tararc {

class TarStreamMend {
 public:
  // Fills up to n bytes of the input, returns how many; 0 at its end.
  using Pull = std::function<std::size_t(char*, std::size_t)>;
  // Passes over up to n bytes of the input unread; returns how many (0
  // when it cannot, and the bytes are read instead).
  using Pass = std::function<std::uint64_t(std::uint64_t)>;
  // Up to n bytes of the input in place, valid until the next call; empty
  // at its end. Given, the bytes passed unchanged are handed on without a
  // copy.
  using Borrow = std::function<std::string_view(std::size_t)>;

  static constexpr std::uint64_t kReaderLimit = 1 << 20;
  static constexpr std::uint64_t kMaxPaxBytes = 64 << 20;

  TarStreamMend(Pull pull, Pass pass, Borrow borrow = nullptr);

  // The next piece of the mended stream, empty at its end; valid until the
  // next call.
  std::string_view Read();
  // Passes over up to n bytes of the mended stream inside a member's data;
  // returns how many.
  std::uint64_t Skip(std::uint64_t n);

 private:
  std::string PullExact(std::size_t n);
  void Discard(std::uint64_t n);
  void AtHeader();
  void PaxHeader(std::string header, std::uint64_t size);
  void SparseMember(std::string header, std::uint64_t size);

  Pull pull_;
  Pass pass_;
  Borrow borrow_;
  std::string pending_;  // mended bytes ready to hand out
  std::string out_;
  std::vector<char> buffer_;
  std::uint64_t copyLeft_ = 0;   // member data to pass unchanged
  std::uint64_t dropAfter_ = 0;  // then input bytes to drop
  bool passAll_ = false;         // past the end blocks, or no tar: the rest unchanged
  bool sparse10_ = false;        // the last pax header announced a sparse 1.0 member
};

}  // namespace tararc
