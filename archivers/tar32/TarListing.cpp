#include "TarListing.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "ArchiveStart.h"
#include "common/Messages.h"
#include "platform/DateTime.h"
#include "tararc/TarExtractor.h"

namespace tar32 {
namespace {}  // namespace

void FillEntryInfo(const tararc::Member& m, tararc::Compression c, TArchiveEntryInfo& info) {
  std::memset(&info, 0, sizeof info);
  // A compressed tar is compressed as one stream: no member has a packed
  // size of its own, so both sizes are the member's size and the ratio 1000.
  info.OriginalSize = arc::Clamp32(m.size);
  info.CompressedSize = info.OriginalSize;
  info.Ratio = m.size == 0 ? 0 : 1000;
  info.OsType = 0;
  platform::UnixTimeToDos(m.mtime, info.DosDate, info.DosTime);
  std::string name = m.name;
  if (m.kind == arc::EntryKind::folder && (name.empty() || name.back() != '/')) name += "/";
  arc::CopyRecordText(info.FileName, sizeof info.FileName, name);
  std::string attr = "----";
  if ((m.mode & 0200) == 0) attr[0] = 'r';
  attr[1] = m.kind == arc::EntryKind::folder ? 'd' : 'a';
  if (m.kind == arc::EntryKind::symlink || m.kind == arc::EntryKind::hardlink) attr[2] = 'l';
  if (m.kind == arc::EntryKind::special) attr[2] = 's';
  arc::CopyRecordText(info.Attribute, sizeof info.Attribute, attr);
  arc::CopyRecordText(info.Method, sizeof info.Method, tararc::CompressionName(c));
}

std::unique_ptr<TarListing> OpenTarListing(const std::string& archiveName) {
  std::vector<tararc::Member> members;
  tararc::Compression compression = tararc::Compression::none;
  const int fd = ::open(archiveName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    throw tararc::ReadError(
        arc::msg::CannotOpen(arc::msg::Quoted(archiveName), std::strerror(errno)));
  try {
    tararc::TarReader reader(fd, ArchiveStart(fd), archiveName);
    reader.VerifyStream();
    for (tararc::Member m; reader.Next(m);) {
      // A lone compressed file's length is known only once it is read.
      if (reader.loneFile()) m.size = reader.CountData();
      members.push_back(m);
    }
    compression = reader.compression();
  } catch (...) {
    ::close(fd);
    throw;
  }
  ::close(fd);
  return std::make_unique<TarListing>(
      std::move(members), [](const tararc::Member& m) { return m.name; },
      [compression](const tararc::Member& m, TArchiveEntryInfo& info) {
        FillEntryInfo(m, compression, info);
      });
}

}  // namespace tar32
