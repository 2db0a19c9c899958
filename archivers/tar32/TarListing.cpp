#include "TarListing.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "ArchiveStart.h"
#include "common/EntryMasks.h"
#include "platform/DateTime.h"
#include "tararc/TarExtractor.h"

namespace tar32 {
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

}  // namespace

void FillEntryInfo(const tararc::Member& m, tararc::Compression c, TArchiveEntryInfo& info) {
  std::memset(&info, 0, sizeof info);
  // A compressed tar is compressed as one stream: no member has a packed
  // size of its own, so both sizes are the member's size and the ratio 1000.
  info.OriginalSize = Clamp32(m.size);
  info.CompressedSize = info.OriginalSize;
  info.Ratio = m.size == 0 ? 0 : 1000;
  info.OsType = 0;
  platform::UnixTimeToDos(m.mtime, info.DosDate, info.DosTime);
  std::string name = m.name;
  if (m.kind == arc::EntryKind::folder && (name.empty() || name.back() != '/')) name += "/";
  CopyText(info.FileName, sizeof info.FileName, name);
  std::string attr = "----";
  if ((m.mode & 0200) == 0) attr[0] = 'r';
  attr[1] = m.kind == arc::EntryKind::folder ? 'd' : 'a';
  if (m.kind == arc::EntryKind::symlink || m.kind == arc::EntryKind::hardlink) attr[2] = 'l';
  if (m.kind == arc::EntryKind::special) attr[2] = 's';
  CopyText(info.Attribute, sizeof info.Attribute, attr);
  CopyText(info.Method, sizeof info.Method, tararc::CompressionName(c));
}

TarListing::TarListing(const std::string& archiveName) {
  const int fd = ::open(archiveName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw tararc::ReadError(archiveName + ": cannot open");
  try {
    tararc::TarReader reader(fd, ArchiveStart(fd), archiveName);
    reader.VerifyStream();
    for (tararc::Member m; reader.Next(m);) {
      // A lone compressed file's length is known only once it is read.
      if (reader.loneFile()) m.size = reader.CountData();
      members_.push_back(m);
    }
    compression_ = reader.compression();
  } catch (...) {
    ::close(fd);
    throw;
  }
  ::close(fd);
}

bool TarListing::FindFirst(const char* wildName, TArchiveEntryInfo& info) {
  masks_.clear();
  if (wildName != nullptr && *wildName != '\0') masks_.push_back(wildName);
  next_ = 0;
  return FindNext(info);
}

bool TarListing::FindNext(TArchiveEntryInfo& info) {
  while (next_ < members_.size()) {
    const auto& m = members_[next_++];
    if (arc::MatchesAnyMask(m.name, masks_)) {
      FillEntryInfo(m, compression_, info);
      return true;
    }
  }
  return false;
}

}  // namespace tar32
