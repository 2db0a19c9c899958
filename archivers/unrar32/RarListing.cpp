#include "RarListing.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "RarOptions.h"

namespace unrar {
namespace {

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
  info.OriginalSize = arc::Clamp32(m.size);
  info.CompressedSize = arc::Clamp32(lm.packed);
  const bool split = f && (f->split || f->continuesAfter || f->continuesBefore);
  info.Crc = f && f->crc && !f->continuesAfter && !f->continuesBefore ? *f->crc : 0;
  info.Flags = (m.encrypted ? kFlagEncrypted : 0) | (f && f->solid ? kFlagSolid : 0) |
               (split ? kFlagSplit : 0) | (m.Unreadable().empty() ? 0 : kFlagUnreadable);
  info.OsType = f ? f->hostOs : 0;
  info.Ratio = arc::RatioPerMille(lm.packed, m.size);
  DosStamp(m.mtime, info.DosDate, info.DosTime);
  arc::CopyRecordText(info.FileName, sizeof info.FileName, ListedName(m));
  arc::CopyRecordText(info.Attribute, sizeof info.Attribute, AttributeText(m));
  arc::CopyRecordText(info.Method, sizeof info.Method, MethodText(m));
}

std::unique_ptr<RarListing> MakeListing(std::vector<ListedMember> members) {
  return std::make_unique<RarListing>(
      std::move(members), [](const ListedMember& m) { return m.member.name; }, &FillEntryInfo);
}

}  // namespace unrar
