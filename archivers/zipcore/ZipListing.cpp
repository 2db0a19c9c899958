#include "ZipListing.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CentralDirectory.h"

namespace zipcore {
namespace {

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
  info.OriginalSize = arc::Clamp32(e.originalSize);
  info.CompressedSize = arc::Clamp32(e.compressedSize);
  info.Crc = e.crc;
  info.Flags = e.encrypted ? 1 : 0;
  info.OsType = e.madeBy;
  info.Ratio = arc::RatioPerMille(e.compressedSize, e.originalSize);
  info.DosDate = e.dosDate;
  info.DosTime = e.dosTime;
  std::string name = e.name;
  for (auto& c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  arc::CopyRecordText(info.FileName, sizeof info.FileName, name);
  arc::CopyRecordText(info.Attribute, sizeof info.Attribute, AttributeText(e));
  std::string method = MethodName(e.method);
  if (method.size() > 7) method = method.substr(0, 7);
  arc::CopyRecordText(info.Method, sizeof info.Method, method);
}

}  // namespace

arc::HandleTable<Listing>& Listings() {
  static arc::HandleTable<Listing> table;
  return table;
}

ArcHandle ListingOpen(const char* archiveName) {
  if (archiveName == nullptr) return 0;
  try {
    OpenedZip z = OpenZip(archiveName, ZIP_RDONLY);
    return Listings().Add(std::make_unique<Listing>(
        std::move(z.entries), [](const ZipEntry& e) { return e.name; }, &FillEntryInfo));
  } catch (...) {
    return 0;
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
