// The library's exported entries. Nothing else is visible from outside.
#include <fcntl.h>
#include <unistd.h>

#include <memory>

#include "ArchiveListing.h"
#include "Commands.h"
#include "common/CommandEntry.h"
#include "common/ExportedEntries.h"
#include "common/MemberReading.h"
#include "common/Messages.h"
#include "lzharc/ArchiveReader.h"

namespace unlha {
namespace {

constexpr std::uint16_t kVersion = 100;  // 1.00

arc::HandleTable<ArchiveListing>& Listings() {
  static arc::HandleTable<ArchiveListing> table;
  return table;
}

std::int32_t Dispatch(const arc::CommandLine& line, arc::Report& report) {
  const UnlhaOptions o = ReadOptions(line);
  switch (o.command) {
    case 'a':
    case 'u':
      return RunAdd(o, report);
    case 'd':
      return RunDelete(o, report);
    case 'x':
    case 'e':
    case 't':
      return RunExtract(o, report);
    case 'l':
    case 'v':
      return RunList(o, report);
    case 's':
      return RunMakeSfx(o, report);
    default:
      throw arc::Failure(arc::kBadCommand, arc::msg::UnknownCommand({}));
  }
}

// Reads the archive's member index; false when it is not a whole LZH archive.
bool ReadIndex(const char* name, lzh::ArchiveIndex& index) {
  if (name == nullptr) return false;
  int fd = ::open(name, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  index = lzh::ReadArchiveOrSfxIndex(fd, name);
  ::close(fd);
  return index.ok;
}

}  // namespace
}  // namespace unlha

ARC_EXPORT std::int32_t Unlha(ArcWnd, const char* cmdLine, char* output, std::uint32_t size) {
  return arc::RunCommandEntry(cmdLine, output, size, unlha::KnownSwitches(), &unlha::Dispatch);
}

ARC_EXPORT ArcHandle UnlhaOpenArchive(ArcWnd, const char* archiveName, std::uint32_t) {
  return arc::OpenListingEntry(unlha::Listings(), archiveName, [](const char* name) {
    lzh::ArchiveIndex index;
    return unlha::ReadIndex(name, index) ? unlha::MakeListing(std::move(index.members)) : nullptr;
  });
}

ARC_LISTING_ENTRIES(Unlha, unlha::Listings())

ARC_EXPORT std::int32_t UnlhaGetOriginalSize64(ArcHandle handle, std::uint64_t* size) {
  auto* listing = unlha::Listings().Find(handle);
  if (listing == nullptr || size == nullptr || listing->Last() == nullptr) return -1;
  *size = listing->Last()->header.originalSize;
  return 0;
}

ARC_VERSION_ENTRY(Unlha, unlha::kVersion)

ARC_EXPORT std::int32_t UnlhaCheckArchive(const char* archiveName, std::int32_t) {
  return arc::CheckArchiveEntry(archiveName, [](const char* name) {
    lzh::ArchiveIndex index;
    return unlha::ReadIndex(name, index);
  });
}

ARC_PROGRESS_ENTRY(Unlha)

ARC_READ_MEMBERS_ENTRY(Unlha, "t")
