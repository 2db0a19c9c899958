#include "ZipListing.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CentralDirectory.h"
#include "common/EntryMasks.h"
#include "common/HandleTable.h"

namespace zipcore {
namespace {

class Listing {
 public:
  explicit Listing(std::vector<ZipEntry> entries) : entries_(std::move(entries)) {}
  bool FindFirst(const char* wildName, TArchiveEntryInfo& info) {
    masks_.clear();
    if (wildName != nullptr && *wildName != '\0') masks_.push_back(wildName);
    next_ = 0;
    return FindNext(info);
  }
  bool FindNext(TArchiveEntryInfo& info);

 private:
  std::vector<ZipEntry> entries_;
  std::vector<std::string> masks_;
  std::size_t next_ = 0;
};

arc::HandleTable<Listing>& Listings() {
  static arc::HandleTable<Listing> table;
  return table;
}

std::uint32_t Clamp32(std::uint64_t v) {
  return v > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<std::uint32_t>(v);
}

void CopyText(char* dest, std::size_t capacity, const std::string& text) {
  std::size_t n = std::min(text.size(), capacity - 1);
  if (n < text.size())
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(dest, text.data(), n);
  dest[n] = '\0';
}

std::string AttributeText(const ZipEntry& e) {
  const std::uint32_t dos = e.externalAttributes & 0xFF;
  const bool unix = e.madeBy == ZIP_OPSYS_UNIX && (e.externalAttributes >> 16) != 0;
  const bool readOnly = unix ? ((e.externalAttributes >> 16) & 0200) == 0 : (dos & 0x01) != 0;
  std::string t = "----";
  if (readOnly) t[0] = 'r';
  t[1] = e.folder ? 'd' : 'a';
  if (!unix && (dos & 0x04)) t[2] = 's';
  if (!unix && (dos & 0x02)) t[3] = 'h';
  return t;
}

void FillEntryInfo(const ZipEntry& e, TArchiveEntryInfo& info) {
  std::memset(&info, 0, sizeof info);
  info.OriginalSize = Clamp32(e.originalSize);
  info.CompressedSize = Clamp32(e.compressedSize);
  info.Crc = e.crc;
  info.Flags = e.encrypted ? 1 : 0;
  info.OsType = e.madeBy;
  std::uint64_t ratio = 0;
  if (e.originalSize != 0)
    ratio = e.compressedSize > (~0ull) / 1000
                ? 65535
                : (e.compressedSize * 1000 + e.originalSize / 2) / e.originalSize;
  info.Ratio = static_cast<std::uint16_t>(std::min<std::uint64_t>(ratio, 65535));
  info.DosDate = e.dosDate;
  info.DosTime = e.dosTime;
  std::string name = e.name;
  for (auto& c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  CopyText(info.FileName, sizeof info.FileName, name);
  CopyText(info.Attribute, sizeof info.Attribute, AttributeText(e));
  std::string method = MethodName(e.method);
  if (method.size() > 7) method = method.substr(0, 7);
  CopyText(info.Method, sizeof info.Method, method);
}

bool Listing::FindNext(TArchiveEntryInfo& info) {
  while (next_ < entries_.size()) {
    const ZipEntry& e = entries_[next_++];
    if (arc::MatchesAnyMask(e.name, masks_)) {
      FillEntryInfo(e, info);
      return true;
    }
  }
  return false;
}

}  // namespace

ArcHandle ListingOpen(const char* archiveName) {
  if (archiveName == nullptr) return 0;
  try {
    OpenedZip z = OpenZip(archiveName, ZIP_RDONLY);
    return Listings().Add(std::make_unique<Listing>(std::move(z.entries)));
  } catch (...) {
    return 0;
  }
}

std::int32_t ListingClose(ArcHandle handle) { return Listings().Remove(handle) ? 0 : -1; }

std::int32_t ListingFindFirst(ArcHandle handle, const char* wildName, TArchiveEntryInfo* info) {
  Listing* listing = Listings().Find(handle);
  if (listing == nullptr || info == nullptr) return -1;
  try {
    return listing->FindFirst(wildName, *info) ? 0 : -1;
  } catch (...) {
    return -1;
  }
}

std::int32_t ListingFindNext(ArcHandle handle, TArchiveEntryInfo* info) {
  Listing* listing = Listings().Find(handle);
  if (listing == nullptr || info == nullptr) return -1;
  try {
    return listing->FindNext(*info) ? 0 : -1;
  } catch (...) {
    return -1;
  }
}

std::int32_t ListingCheck(const char* archiveName) {
  if (archiveName == nullptr) return 0;
  try {
    OpenZip(archiveName, ZIP_RDONLY);
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace zipcore
