// What an archive holds, read once for the viewer: each entry with its
// sizes, date, time and method, and the totals. The format comes from the
// archive's content (its name's extension when the content tells nothing).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archivecore/ArchiverType.h"

namespace pelsok {
class TArchiveFile;
}

namespace pelsok::app {

struct TListingEntry {
  std::string Name;  // as stored, '/' between folders, in the program's code page
  std::uint64_t Size = 0;
  std::uint64_t Packed = 0;
  std::uint16_t DosDate = 0;
  std::uint16_t DosTime = 0;
  std::string Method;     // "-lh5-", "deflate", ...
  std::string Attribute;  // "-a--", "drwxr-xr-x", ...
  bool Folder = false;    // a folder entry: nothing to extract but the folder
};

struct TArchiveListing {
  std::string ArchiveName;
  TArchiverType Type = atNone;
  std::string FormatName;  // the row's name, upper case: "LZH"
  std::vector<TListingEntry> Entries;
  std::uint64_t TotalSize = 0;
  std::uint64_t TotalPacked = 0;
  std::size_t Files() const;
};

// Binds archive to the back end the content of name shows. Raises an error
// naming the archive when it is missing, and the component's error (a
// missing library) when no back end can read it.
void BindByContent(TArchiveFile& archive, const std::string& name);

// Raises an error that says what is wrong: missing, not an archive of a
// format we read, damaged, or its library missing.
TArchiveListing ReadArchiveListing(const std::string& name);

// "2026-03-01 23:59:58"; "" for a zero stamp.
std::string DosStampText(std::uint16_t date, std::uint16_t time);
// The packed size as a share of the original: "12.5%" ("" for an empty entry).
std::string RatioText(std::uint64_t size, std::uint64_t packed);
// packed * 1000 / size, 0 for an empty entry: what the ratio column sorts by.
std::uint64_t RatioPerMille(std::uint64_t size, std::uint64_t packed);
// The status line of a listing: "DR2611.LZH (LZH): 30 ファイル, 33.0 MB → 4.6 MB (13.9%)".
std::string ListingTotals(const TArchiveListing& listing);

}  // namespace pelsok::app
