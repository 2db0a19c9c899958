// The library's exported entries. Nothing else is visible from outside.
#include <memory>
#include <new>

#include "RarCommands.h"
#include "RarListing.h"
#include "common/ArchiverApi.h"
#include "common/CommandEntry.h"
#include "common/CommandLine.h"
#include "common/HandleTable.h"
#include "common/ListingEntries.h"
#include "common/Progress.h"
#include "common/Report.h"

#define UNRAR_EXPORT extern "C" __attribute__((visibility("default")))

namespace unrar {
namespace {

constexpr std::uint16_t kVersion = 100;  // 1.00
// Open mode bit: only check that the file is a RAR archive (the first member
// header is read, no more). The content check of the RAR back end passes it.
constexpr std::uint32_t kModeCheckOnly = 0x800000;

arc::HandleTable<RarListing>& Listings() {
  static arc::HandleTable<RarListing> table;
  return table;
}

std::int32_t Dispatch(const char* text, arc::Report& report) {
  arc::CommandLine line;
  if (auto err =
          arc::ParseCommandLine(text ? text : "", KnownSwitches(), arc::ReadResponseFile, line)) {
    report.Line(err->message);
    return err->result;
  }
  const RarOptions o = ReadOptions(line);
  return o.command == 'l' ? RunList(o, report) : RunExtract(o, report);
}

}  // namespace
}  // namespace unrar

UNRAR_EXPORT std::int32_t Unrar(ArcWnd, const char* cmdLine, char* output, std::uint32_t size) {
  return arc::RunCommandEntry<unrar::CommandFailure>(cmdLine, output, size, &unrar::Dispatch);
}

UNRAR_EXPORT ArcHandle UnrarOpenArchive(ArcWnd, const char* archiveName, std::uint32_t mode) {
  if (archiveName == nullptr) return 0;
  try {
    unrar::MemberList list = unrar::ReadMembers(archiveName, (mode & unrar::kModeCheckOnly) != 0);
    // Checking, an archive whose first header cannot be read (encrypted
    // headers) is still RAR; listing, it gives nothing to list.
    if (!(mode & unrar::kModeCheckOnly) && list.members.empty() && !list.stopped.empty()) return 0;
    return unrar::Listings().Add(std::make_unique<unrar::RarListing>(std::move(list.members)));
  } catch (...) {
    return 0;
  }
}

UNRAR_EXPORT std::int32_t UnrarCloseArchive(ArcHandle handle) {
  return unrar::Listings().Remove(handle) ? 0 : -1;
}

UNRAR_EXPORT std::int32_t UnrarFindFirst(ArcHandle handle, const char* wildName,
                                         TArchiveEntryInfo* info) {
  return arc::FindFirstEntry(unrar::Listings(), handle, wildName, info);
}

UNRAR_EXPORT std::int32_t UnrarFindNext(ArcHandle handle, TArchiveEntryInfo* info) {
  return arc::FindNextEntry(unrar::Listings(), handle, info);
}

UNRAR_EXPORT std::uint16_t UnrarGetVersion(void) { return unrar::kVersion; }

UNRAR_EXPORT std::int32_t UnrarCheckArchive(const char* archiveName, std::int32_t) {
  if (archiveName == nullptr) return 0;
  try {
    unrar::ReadMembers(archiveName, true);
    return 1;
  } catch (...) {
    return 0;
  }
}

UNRAR_EXPORT std::int32_t UnrarSetProgressCallback(ArcProgressCallback callback, void* user) {
  return arc::SetProgressCallback(callback, user);
}
