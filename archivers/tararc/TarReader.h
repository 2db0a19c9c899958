// Reads the members of a tar archive with libarchive: ustar, pax and GNU
// tar (long names, sparse files), plain or compressed with gzip, bzip2,
// compress, xz or zstd, and a lone compressed file that holds no tar (one member named
// after the file). The archive is read from a descriptor, from an offset on,
// so an archive appended to a program reads the same way.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "DecodedStream.h"
#include "TarStreamMend.h"
#include "common/SafeExtractor.h"

struct archive;
struct archive_entry;

namespace tararc {

// The archive is missing, not a tar of a form we read, or damaged.
class ReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class Compression { none, gzip, bzip2, compress, xz, zstd };

// The library's archive type numbers (TarGetArchiveType).
enum ArchiveType : std::int32_t {
  kNotTar = 0,
  kTar = 1,
  kTarGzip = 2,
  kTarCompress = 3,
  kLoneGzip = 4,
  kLoneCompress = 5,
  kTarBzip2 = 6,
  kLoneBzip2 = 7,
  kTarXz = 8,
  kLoneXz = 9,
  kTarZstd = 10,
  kLoneZstd = 11,
};

struct Member {
  std::string name;  // UTF-8 when the archive's name is UTF-8 or cp932; as stored otherwise
  arc::EntryKind kind = arc::EntryKind::file;
  std::uint64_t size = 0;  // data bytes (the whole length of a sparse file)
  std::int64_t mtime = 0;
  std::uint32_t mode = 0644;  // permission bits
  std::string linkTarget;     // symlink: as stored; hard link: a member name
};

class TarReader {
 public:
  // Reads what fd holds from offset on; fd stays the caller's. displayName
  // names the archive in messages and gives a lone compressed file's member
  // its name. Throws ReadError when the data is no archive we read.
  TarReader(int fd, std::uint64_t offset, const std::string& displayName);
  ~TarReader();
  TarReader(const TarReader&) = delete;
  TarReader& operator=(const TarReader&) = delete;

  // Decodes a gzip, xz or zstd stream whole into memory (DecodedStream)
  // and checks it to its end (gzip's CRC-32 and length, xz's block checks,
  // index and footer, zstd's frames and their checksums), which libarchive
  // leaves unread after the tar's end; throws ReadError when it is wrong.
  // The members are then read from memory. A stream too long for memory is
  // checked as it is read instead, Next throwing ReadError at its end. Does
  // nothing for other compressions (bzip2 checks its blocks as it goes;
  // compress and plain tar have no check).
  void VerifyStream();

  // The next member, or false at the end. Throws ReadError on damage.
  bool Next(Member& m);
  // Writes the current member's data to out at its offsets (holes of a
  // sparse member stay holes) and sets its length. onBytes is told every
  // block and stops the copy by answering false. Throws ReadError on damaged
  // data; std::runtime_error when out cannot be written.
  enum class Copy { done, stopped };
  Copy CopyData(int out, const std::function<bool(std::uint64_t)>& onBytes);

  // Hands the current member's data to take in file order, holes of a
  // sparse member as zeros, up to its declared length; onBytes as for
  // CopyData. Throws ReadError on damaged data.
  Copy ReadData(const std::function<bool(const char*, std::size_t)>& take,
                const std::function<bool(std::uint64_t)>& onBytes);

  // Reads the current member's data without keeping it; gives its length.
  std::uint64_t CountData();

  Compression compression() const { return compression_; }
  bool loneFile() const { return lone_; }
  ArchiveType Type() const;

 private:
  void Check(int status, const char* what);
  std::string MemberName(archive_entry* e) const;
  void OpenSource();
  std::size_t PullPlain(char* to, std::size_t n);
  std::size_t PullDecompressed(char* to, std::size_t n);
  std::size_t PullDecoded(char* to, std::size_t n);
  std::uint64_t PassDecoded(std::uint64_t n);
  std::string_view BorrowDecoded(std::size_t n);

  // The file's bytes as the tar reader would take them: straight from the
  // descriptor, decoded by decoded_ (gzip, xz, zstd), or decompressed by
  // source_ (libarchive's filters, raw format); then mended (TarStreamMend) before a_ reads the tar
  // in them.
  archive* source_ = nullptr;
  std::unique_ptr<DecodedStream> decoded_;
  std::unique_ptr<TarStreamMend> mend_;
  std::string sourceError_;
  archive* a_ = nullptr;
  int fd_;
  std::uint64_t offset_;
  std::uint64_t pos_ = 0;
  std::string display_;
  Compression compression_ = Compression::none;
  bool lone_ = false;
  bool first_ = true;
  archive_entry* current_ = nullptr;
  std::string buffer_;
  friend struct ReaderCallbacks;
  friend struct FileCallbacks;
};

// Text of a compression for listings and reports: "tar" (none), "gzip",
// "bzip2", "lzw" (compress), "xz", "zstd".
const char* CompressionName(Compression c);

// The type of the archive in fd from offset on, kNotTar when it is none of
// ours; reads only up to the first member.
ArchiveType DetectType(int fd, std::uint64_t offset, const std::string& displayName);

}  // namespace tararc
