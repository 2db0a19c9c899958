#include "ArchiveListing.h"

#include <algorithm>
#include <cstring>

#include "OpenArchive.h"
#include "lzharc/MemberTime.h"

namespace unlha {
namespace {

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
  info.OriginalSize = arc::Clamp32(m.listedSize());
  info.CompressedSize = arc::Clamp32(h.packedSize);
  info.Crc = h.dataCrc;
  info.Flags = 0;
  info.OsType = h.osId;
  info.Ratio = arc::RatioPerMille(h.packedSize, h.originalSize);
  lzh::MemberDosStamp(h, info.DosDate, info.DosTime);
  std::string name = m.path.Joined();
  if (h.isDirectory()) name += "/";
  arc::CopyRecordText(info.FileName, sizeof info.FileName, name);
  arc::CopyRecordText(info.Attribute, sizeof info.Attribute, AttributeText(h));
  std::string method = h.method;
  for (auto& c : method)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  arc::CopyRecordText(info.Method, sizeof info.Method, method);
}

std::unique_ptr<ArchiveListing> MakeListing(std::vector<lzh::ArchiveMember> members) {
  return std::make_unique<ArchiveListing>(
      std::move(members), [](const lzh::ArchiveMember& m) { return m.path.Joined(); },
      &FillEntryInfo);
}

}  // namespace unlha
