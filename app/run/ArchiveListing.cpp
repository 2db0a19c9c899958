#include "app/run/ArchiveListing.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "app/run/RunSummary.h"
#include "archive/ArchiveFile.h"
#include "archive/GetArchiverType.h"
#include "backends/BackendRows.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace pelsok::app {
namespace {

std::string Field(const char* text, std::size_t size) {
  return std::string(text, strnlen(text, size));
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::size_t TArchiveListing::Files() const {
  std::size_t n = 0;
  for (const auto& e : Entries) n += e.Folder ? 0 : 1;
  return n;
}

void BindByContent(TArchiveFile& archive, const std::string& name) {
  if (!platform::FileExists(name))
    throw platform::Exception(platform::FormatText("書庫 '%s' がありません。", {name}));
  const TArchiverType byContent = GetArchiverType(name, false);
  if (byContent != atNone) {
    archive.SetFileName(name);
    if (archive.ArchiverType() != byContent) archive.SetArchiverType(byContent);
    return;
  }
  // The content told nothing: the extension's back end, whose library may be
  // the one missing (its error says which).
  archive.SetFileName(name);
  if (archive.Archiver() == nullptr)
    throw platform::Exception(platform::FormatText(
        "'%s' は読める形式の書庫ではありません (壊れているか、形式が違います)。", {name}));
}

TArchiveListing ReadArchiveListing(const std::string& name) {
  TArchiveFile archive(nullptr);
  BindByContent(archive, name);
  TArchiveListing listing;
  listing.ArchiveName = name;
  listing.Type = archive.ArchiverType();
  if (const TBackendRow* row = archive.FormatRow()) listing.FormatName = Upper(row->Name);
  if (archive.OpenArchive(nullptr, 0) == 0)
    throw platform::Exception(
        platform::FormatText("書庫 '%s' を開けません (壊れているか、形式が違います)。", {name}));
  TArchiveEntryInfo info{};
  for (int rc = archive.FindFirst("*.*", info); rc == 0; rc = archive.FindNext(info)) {
    TListingEntry e;
    e.Name = Field(info.FileName, sizeof info.FileName);
    e.Size = archive.OriginalSize64().value_or(info.OriginalSize);
    e.Packed = info.CompressedSize;
    e.DosDate = info.DosDate;
    e.DosTime = info.DosTime;
    e.Method = Field(info.Method, sizeof info.Method);
    e.Attribute = Field(info.Attribute, sizeof info.Attribute);
    e.Folder = (!e.Name.empty() && (e.Name.back() == '/' || e.Name.back() == '\\')) ||
               (!e.Attribute.empty() && e.Attribute.front() == 'd');
    listing.TotalSize += e.Size;
    listing.TotalPacked += e.Packed;
    listing.Entries.push_back(std::move(e));
    info = TArchiveEntryInfo{};
  }
  archive.CloseArchive();
  return listing;
}

std::string DosStampText(std::uint16_t date, std::uint16_t time) {
  if (date == 0 && time == 0) return {};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u", 1980u + (date >> 9),
                (date >> 5) & 15u, date & 31u, time >> 11u, (time >> 5) & 63u, (time & 31u) * 2);
  return buf;
}

std::uint64_t RatioPerMille(std::uint64_t size, std::uint64_t packed) {
  if (size == 0) return 0;
  // Past 2^54 bytes the product would overflow: the share is the same scaled down.
  if (packed > (UINT64_MAX / 1000)) return packed / (size / 1000 + 1);
  return packed * 1000 / size;
}

std::string RatioText(std::uint64_t size, std::uint64_t packed) {
  if (size == 0) return {};
  const std::uint64_t perMille = RatioPerMille(size, packed);
  return std::to_string(perMille / 10) + "." + std::to_string(perMille % 10) + "%";
}

std::string ListingTotals(const TArchiveListing& listing) {
  std::string text = platform::ExtractFileName(listing.ArchiveName);
  if (!listing.FormatName.empty()) text += " (" + listing.FormatName + ")";
  text += ": " + std::to_string(listing.Files()) + " ファイル, " + SizeText(listing.TotalSize) +
          " → " + SizeText(listing.TotalPacked);
  const std::string ratio = RatioText(listing.TotalSize, listing.TotalPacked);
  if (!ratio.empty()) text += " (" + ratio + ")";
  return text;
}

}  // namespace pelsok::app
