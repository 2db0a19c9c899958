// The library's exported entries. Nothing else is visible from outside.
#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <new>

#include "ArchiveListing.h"
#include "CommandFailure.h"
#include "Commands.h"
#include "common/ArchiverApi.h"
#include "common/CommandEntry.h"
#include "common/CommandLine.h"
#include "common/HandleTable.h"
#include "common/ListingEntries.h"
#include "common/Progress.h"
#include "common/Report.h"
#include "lzharc/ArchiveReader.h"

#define UNLHA_EXPORT extern "C" __attribute__((visibility("default")))

namespace unlha {
namespace {

constexpr std::uint16_t kVersion = 100;  // 1.00

arc::HandleTable<ArchiveListing>& Listings() {
  static arc::HandleTable<ArchiveListing> table;
  return table;
}

std::int32_t Dispatch(const char* text, arc::Report& report) {
  arc::CommandLine line;
  if (auto err =
          arc::ParseCommandLine(text ? text : "", KnownSwitches(), arc::ReadResponseFile, line)) {
    report.Line(err->message);
    return err->result;
  }
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
      throw CommandFailure(arc::kBadCommand, "unknown command");
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

UNLHA_EXPORT std::int32_t Unlha(ArcWnd, const char* cmdLine, char* output, std::uint32_t size) {
  return arc::RunCommandEntry<unlha::CommandFailure>(cmdLine, output, size, &unlha::Dispatch);
}

UNLHA_EXPORT ArcHandle UnlhaOpenArchive(ArcWnd, const char* archiveName, std::uint32_t) {
  try {
    lzh::ArchiveIndex index;
    if (!unlha::ReadIndex(archiveName, index)) return 0;
    return unlha::Listings().Add(std::make_unique<unlha::ArchiveListing>(std::move(index.members)));
  } catch (...) {
    return 0;
  }
}

UNLHA_EXPORT std::int32_t UnlhaCloseArchive(ArcHandle handle) {
  return unlha::Listings().Remove(handle) ? 0 : -1;
}

UNLHA_EXPORT std::int32_t UnlhaFindFirst(ArcHandle handle, const char* wildName,
                                         TArchiveEntryInfo* info) {
  return arc::FindFirstEntry(unlha::Listings(), handle, wildName, info);
}

UNLHA_EXPORT std::int32_t UnlhaFindNext(ArcHandle handle, TArchiveEntryInfo* info) {
  return arc::FindNextEntry(unlha::Listings(), handle, info);
}

UNLHA_EXPORT std::int32_t UnlhaGetOriginalSize64(ArcHandle handle, std::uint64_t* size) {
  auto* listing = unlha::Listings().Find(handle);
  if (listing == nullptr || size == nullptr || listing->Last() == nullptr) return -1;
  *size = listing->Last()->header.originalSize;
  return 0;
}

UNLHA_EXPORT std::uint16_t UnlhaGetVersion(void) { return unlha::kVersion; }

UNLHA_EXPORT std::int32_t UnlhaCheckArchive(const char* archiveName, std::int32_t) {
  try {
    lzh::ArchiveIndex index;
    return unlha::ReadIndex(archiveName, index) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

UNLHA_EXPORT std::int32_t UnlhaSetProgressCallback(ArcProgressCallback callback, void* user) {
  return arc::SetProgressCallback(callback, user);
}
