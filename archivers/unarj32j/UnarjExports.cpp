// The library's exported entries. Nothing else is visible from outside.
#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <new>

#include "ArjCommands.h"
#include "ArjListing.h"
#include "UnarjFailure.h"
#include "arj/ArjArchive.h"
#include "common/ArchiverApi.h"
#include "common/CommandEntry.h"
#include "common/CommandLine.h"
#include "common/HandleTable.h"
#include "common/ListingEntries.h"
#include "common/Progress.h"
#include "common/Report.h"

#define UNARJ_EXPORT extern "C" __attribute__((visibility("default")))

namespace unarj {
namespace {

constexpr std::uint16_t kVersion = 100;  // 1.00

arc::HandleTable<ArjListing>& Listings() {
  static arc::HandleTable<ArjListing> table;
  return table;
}

std::int32_t Dispatch(const char* text, arc::Report& report) {
  arc::CommandLine line;
  if (auto err =
          arc::ParseCommandLine(text ? text : "", KnownSwitches(), arc::ReadResponseFile, line)) {
    report.Line(err->message);
    return err->result;
  }
  const UnarjOptions o = ReadOptions(line);
  if (o.command == 'l' || o.command == 'v') return RunList(o, report);
  return RunExtract(o, report);
}

// Reads the archive's index; false when it is not a whole ARJ archive.
bool ReadIndex(const char* name, arj::Index& index) {
  if (name == nullptr) return false;
  int fd = ::open(name, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  index = arj::ReadIndex(fd, name);
  ::close(fd);
  return index.ok;
}

}  // namespace
}  // namespace unarj

UNARJ_EXPORT std::int32_t Unarj(ArcWnd, const char* cmdLine, char* output, std::uint32_t size) {
  return arc::RunCommandEntry<unarj::UnarjFailure>(cmdLine, output, size, &unarj::Dispatch);
}

UNARJ_EXPORT ArcHandle UnarjOpenArchive(ArcWnd, const char* archiveName, std::uint32_t) {
  try {
    arj::Index index;
    if (!unarj::ReadIndex(archiveName, index)) return 0;
    return unarj::Listings().Add(std::make_unique<unarj::ArjListing>(std::move(index.members)));
  } catch (...) {
    return 0;
  }
}

UNARJ_EXPORT std::int32_t UnarjCloseArchive(ArcHandle handle) {
  return unarj::Listings().Remove(handle) ? 0 : -1;
}

UNARJ_EXPORT std::int32_t UnarjFindFirst(ArcHandle handle, const char* wildName,
                                         TArchiveEntryInfo* info) {
  return arc::FindFirstEntry(unarj::Listings(), handle, wildName, info);
}

UNARJ_EXPORT std::int32_t UnarjFindNext(ArcHandle handle, TArchiveEntryInfo* info) {
  return arc::FindNextEntry(unarj::Listings(), handle, info);
}

UNARJ_EXPORT std::int32_t UnarjSetProgressCallback(ArcProgressCallback callback, void* user) {
  return arc::SetProgressCallback(callback, user);
}

UNARJ_EXPORT std::uint16_t UnarjGetVersion(void) { return unarj::kVersion; }

UNARJ_EXPORT std::int32_t UnarjCheckArchive(const char* archiveName, std::int32_t) {
  try {
    arj::Index index;
    return unarj::ReadIndex(archiveName, index) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}
