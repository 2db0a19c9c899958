#include "RarListing.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "RarOptions.h"
#include "common/EntryMasks.h"

namespace unrar {
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

std::string AttributeText(const RarMember& m) {
  const std::uint32_t dos = m.facts ? m.facts->dosAttributes : 0;
  std::string t = "----";
  if ((m.mode & 0200) == 0 || (dos & 0x01)) t[0] = 'r';
  t[1] = m.kind == arc::EntryKind::folder ? 'd' : 'a';
  if (dos & 0x04) t[2] = 's';
  if (dos & 0x02) t[3] = 'h';
  return t;
}

}  // namespace

std::string ListedName(const RarMember& m) {
  return m.kind == arc::EntryKind::folder && !m.name.empty() && m.name.back() != '/' ? m.name + "/"
                                                                                     : m.name;
}

std::string MethodText(const RarMember& m) {
  const int method = m.facts ? m.facts->method : 0;
  return (m.formatName == "RAR5" ? "RAR5:m" : "RAR:m") + std::to_string(method);
}

void DosStamp(std::int64_t mtime, std::uint16_t& date, std::uint16_t& time) {
  date = time = 0;
  const std::time_t t = static_cast<std::time_t>(mtime);
  std::tm tm{};
  if (localtime_r(&t, &tm) == nullptr || tm.tm_year < 80 || tm.tm_year > 207) return;
  date = static_cast<std::uint16_t>(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
  time = static_cast<std::uint16_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
}

MemberList ReadMembers(const std::string& path, bool firstOnly) {
  RarArchive archive(path);
  MemberList list;
  for (;;) {
    ListedMember lm;
    const NextResult next = archive.Next(lm.member);
    if (next != NextResult::member) {
      if (next == NextResult::failed) list.stopped = archive.Error();
      break;
    }
    if (firstOnly) {
      list.members.push_back(std::move(lm));
      break;
    }
    const bool skipped = archive.Skip();
    const auto& f = lm.member.facts;
    lm.packed = f ? f->packedSize : archive.PackedSoFar();
    list.members.push_back(std::move(lm));
    if (!skipped) {
      list.stopped = archive.Error();
      break;
    }
  }
  return list;
}

void FillEntryInfo(const ListedMember& lm, TArchiveEntryInfo& info) {
  std::memset(&info, 0, sizeof info);
  const RarMember& m = lm.member;
  const auto& f = m.facts;
  info.OriginalSize = Clamp32(m.size);
  info.CompressedSize = Clamp32(lm.packed);
  const bool split = f && (f->split || f->continuesAfter || f->continuesBefore);
  info.Crc = f && f->crc && !f->continuesAfter && !f->continuesBefore ? *f->crc : 0;
  info.Flags = (m.encrypted ? kFlagEncrypted : 0) | (f && f->solid ? kFlagSolid : 0) |
               (split ? kFlagSplit : 0) | (m.Unreadable().empty() ? 0 : kFlagUnreadable);
  info.OsType = f ? f->hostOs : 0;
  std::uint64_t ratio = m.size == 0                  ? 0
                        : lm.packed > (~0ull) / 1000 ? 65535
                                                     : (lm.packed * 1000 + m.size / 2) / m.size;
  info.Ratio = static_cast<std::uint16_t>(std::min<std::uint64_t>(ratio, 65535));
  DosStamp(m.mtime, info.DosDate, info.DosTime);
  CopyText(info.FileName, sizeof info.FileName, ListedName(m));
  CopyText(info.Attribute, sizeof info.Attribute, AttributeText(m));
  CopyText(info.Method, sizeof info.Method, MethodText(m));
}

bool RarListing::FindFirst(const char* wildName, TArchiveEntryInfo& info) {
  masks_.clear();
  if (wildName != nullptr && *wildName != '\0') masks_.push_back(wildName);
  next_ = 0;
  return FindNext(info);
}

bool RarListing::FindNext(TArchiveEntryInfo& info) {
  while (next_ < members_.size()) {
    const auto& m = members_[next_++];
    if (arc::MatchesAnyMask(m.member.name, masks_, false)) {
      FillEntryInfo(m, info);
      return true;
    }
  }
  return false;
}

}  // namespace unrar
