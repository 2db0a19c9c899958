#include "ArjListing.h"

#include <algorithm>
#include <cstring>

#include "OpenArjArchive.h"

namespace unarj {
namespace {

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
  info.Ratio = arc::RatioPerMille(h.packedSize, h.originalSize);
  m.DosStamp(info.DosDate, info.DosTime);
  arc::CopyRecordText(info.FileName, sizeof info.FileName, ListedName(m));
  arc::CopyRecordText(info.Attribute, sizeof info.Attribute, AttributeText(m));
  arc::CopyRecordText(info.Method, sizeof info.Method, MethodText(h));
}

std::unique_ptr<ArjListing> MakeListing(std::vector<arj::Member> members) {
  return std::make_unique<ArjListing>(
      std::move(members), [](const arj::Member& m) { return m.path.Joined(); }, &FillEntryInfo);
}

}  // namespace unarj
