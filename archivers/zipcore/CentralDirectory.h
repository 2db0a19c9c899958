// The entries of a ZIP archive as its central directory gives them, read
// with libzip: names decoded (ZipNames.h), sizes, CRC, method, times and
// attributes. Used for listing, for deleting and for updating.
#pragma once

#include <zip.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zipcore {

struct ZipEntry {
  std::uint64_t index = 0;  // libzip's index
  std::string name;         // UTF-8, as stored ('/' between folders, folders end in '/')
  std::string rawName;      // the stored bytes (for locating the entry again)
  bool folder = false;
  bool symlink = false;
  bool encrypted = false;
  std::uint64_t originalSize = 0;
  std::uint64_t compressedSize = 0;
  std::uint32_t crc = 0;
  std::uint16_t method = 0;
  std::int64_t mtime = 0;  // seconds since 1970, UTC
  bool exactTime = false;  // from the extended timestamp, not the 2-second MS-DOS stamp
  std::uint16_t dosDate = 0, dosTime = 0;
  std::uint8_t madeBy = 0;  // host system of the writer (0 MS-DOS, 3 Unix)
  std::uint32_t externalAttributes = 0;
  std::uint64_t localOffset = 0;  // where its local header is in the file, when the layout was read
  bool falseUtf8Flag = false;  // flagged UTF-8 though its name is not (then read by the code page)
};

struct ZipCloser {
  void operator()(zip_t* z) const {
    if (z) zip_discard(z);
  }
};
using ZipPtr = std::unique_ptr<zip_t, ZipCloser>;

struct OpenedZip {
  ZipPtr zip;
  std::vector<ZipEntry> entries;
};

// Opens an archive read-only (flags 0) or for changing (ZIP_CREATE), and
// reads its entries. Throws arc::Failure: kNotArchive with a reason for a
// file that is not ZIP, damaged, a multi-volume set, or whose entries share
// bytes (overlapping entries, a "zip bomb"). Read-only, an archive behind a
// stub whose offsets were not adjusted, or with names wrongly flagged
// UTF-8, is read all the same (DirectoryLayout.h).
OpenedZip OpenZip(const std::string& path, int flags);

// Reads one entry's details.
ZipEntry ReadEntry(zip_t* z, std::uint64_t index);

// Name of a ZIP compression method ("deflate", "bzip2", ..., "method 99").
std::string MethodName(std::uint16_t method);

// The entry time: the extended timestamp (0x5455) when present, else the
// MS-DOS stamp read as local time.
std::int64_t EntryTime(zip_t* z, std::uint64_t index, std::int64_t dosTime, bool* exact = nullptr);

// Stores t as the entry's MS-DOS stamp and its extended timestamp.
bool SetEntryTime(zip_t* z, std::uint64_t index, std::int64_t t);

}  // namespace zipcore
