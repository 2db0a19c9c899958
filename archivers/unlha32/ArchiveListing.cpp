#include "ArchiveListing.h"

#include <algorithm>
#include <cstring>

#include "OpenArchive.h"
#include "common/EntryMasks.h"
#include "lzharc/MemberTime.h"

namespace unlha {
namespace {

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

std::string AttributeText(const lzh::EntryHeader& h) {
  // Read-only, archive, system, hidden; 'd' in the second place for folders.
  std::uint16_t dos = h.dosAttribute ? *h.dosAttribute : h.attribute;
  bool readOnly = h.unixMode ? (*h.unixMode & 0200) == 0 : (dos & 0x01) != 0;
  std::string t = "----";
  if (readOnly) t[0] = 'r';
  t[1] = h.isDirectory() ? 'd' : 'a';
  if (!h.unixMode && (dos & 0x04)) t[2] = 's';
  if (!h.unixMode && (dos & 0x02)) t[3] = 'h';
  return t;
}

}  // namespace

void FillEntryInfo(const lzh::ArchiveMember& m, TArchiveEntryInfo& info) {
  std::memset(&info, 0, sizeof info);
  const auto& h = m.header;
  info.OriginalSize = Clamp32(m.listedSize());
  info.CompressedSize = Clamp32(h.packedSize);
  info.Crc = h.dataCrc;
  info.Flags = 0;
  info.OsType = h.osId;
  std::uint64_t ratio =
      h.originalSize == 0 ? 0 : (h.packedSize * 1000 + h.originalSize / 2) / h.originalSize;
  if (h.originalSize != 0 && h.packedSize > (~0ull) / 1000) ratio = 65535;
  info.Ratio = static_cast<std::uint16_t>(std::min<std::uint64_t>(ratio, 65535));
  lzh::MemberDosStamp(h, info.DosDate, info.DosTime);
  std::string name = m.path.Joined();
  if (h.isDirectory()) name += "/";
  CopyText(info.FileName, sizeof info.FileName, name);
  CopyText(info.Attribute, sizeof info.Attribute, AttributeText(h));
  std::string method = h.method;
  for (auto& c : method)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  CopyText(info.Method, sizeof info.Method, method);
}

bool ArchiveListing::FindFirst(const char* wildName, TArchiveEntryInfo& info) {
  masks_.clear();
  if (wildName != nullptr && *wildName != '\0') masks_.push_back(wildName);
  next_ = 0;
  last_ = nullptr;
  return FindNext(info);
}

bool ArchiveListing::FindNext(TArchiveEntryInfo& info) {
  while (next_ < members_.size()) {
    const auto& m = members_[next_++];
    if (arc::MatchesAnyMask(m.path.Joined(), masks_)) {
      FillEntryInfo(m, info);
      last_ = &m;
      return true;
    }
  }
  return false;
}

}  // namespace unlha
