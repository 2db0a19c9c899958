#include "ArjListing.h"

#include <algorithm>
#include <cstring>

#include "OpenArjArchive.h"
#include "common/EntryMasks.h"

namespace unarj {
namespace {

void CopyText(char* dest, std::size_t capacity, const std::string& text) {
  std::size_t n = std::min(text.size(), capacity - 1);
  if (n < text.size())
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(dest, text.data(), n);
  dest[n] = '\0';
}

// Read-only, archive (or 'd' for a folder), system, hidden.
std::string AttributeText(const arj::Member& m) {
  const std::uint16_t mode = m.header.fileMode;
  const bool readOnly = m.HasUnixMode() ? (mode & 0200) == 0 : (mode & 0x01) != 0;
  std::string t = "----";
  if (readOnly) t[0] = 'r';
  t[1] = m.header.IsDirectory() ? 'd' : 'a';
  if (!m.HasUnixMode() && (mode & 0x04)) t[2] = 's';
  if (!m.HasUnixMode() && (mode & 0x02)) t[3] = 'h';
  return t;
}

}  // namespace

void FillEntryInfo(const arj::Member& m, TArchiveEntryInfo& info) {
  std::memset(&info, 0, sizeof info);
  const auto& h = m.header;
  info.OriginalSize = h.originalSize;
  info.CompressedSize = h.packedSize;
  info.Crc = h.crc;
  info.Flags = h.flags;
  info.OsType = h.hostOs;
  const std::uint64_t original = h.originalSize, packed = h.packedSize;
  const std::uint64_t ratio = original == 0 ? 0 : (packed * 1000 + original / 2) / original;
  info.Ratio = static_cast<std::uint16_t>(std::min<std::uint64_t>(ratio, 65535));
  m.DosStamp(info.DosDate, info.DosTime);
  CopyText(info.FileName, sizeof info.FileName, ListedName(m));
  CopyText(info.Attribute, sizeof info.Attribute, AttributeText(m));
  CopyText(info.Method, sizeof info.Method, MethodText(h));
}

bool ArjListing::FindFirst(const char* wildName, TArchiveEntryInfo& info) {
  masks_.clear();
  if (wildName != nullptr && *wildName != '\0') masks_.push_back(wildName);
  next_ = 0;
  return FindNext(info);
}

bool ArjListing::FindNext(TArchiveEntryInfo& info) {
  while (next_ < members_.size()) {
    const auto& m = members_[next_++];
    if (arc::MatchesAnyMask(m.path.Joined(), masks_)) {
      FillEntryInfo(m, info);
      return true;
    }
  }
  return false;
}

}  // namespace unarj
