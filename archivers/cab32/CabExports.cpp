// The library's exported entries. Nothing else is visible from outside.
#include <memory>
#include <new>

#include "CabFailure.h"
#include "CabListing.h"
#include "Commands.h"
#include "common/ArchiverApi.h"
#include "common/CommandEntry.h"
#include "common/CommandLine.h"
#include "common/HandleTable.h"
#include "common/ListingEntries.h"
#include "common/Progress.h"
#include "common/Report.h"

#define CAB_EXPORT extern "C" __attribute__((visibility("default")))

namespace cab {
namespace {

constexpr std::uint16_t kVersion = 100;  // 1.00

arc::HandleTable<CabListing>& Listings() {
  static arc::HandleTable<CabListing> table;
  return table;
}

std::int32_t Dispatch(const char* text, arc::Report& report) {
  arc::CommandLine line;
  if (auto err =
          arc::ParseCommandLine(text ? text : "", KnownSwitches(), arc::ReadResponseFile, line)) {
    report.Line(err->message);
    return err->result;
  }
  const CabOptions o = ReadOptions(line);
  switch (o.command) {
    case Command::add:
      return RunAdd(o, report);
    case Command::extract:
      return RunExtract(o, report);
    case Command::makeSfx:
      return RunMakeSfx(o, report);
  }
  throw CabFailure(arc::kBadCommand, "unknown command");
}

}  // namespace
}  // namespace cab

CAB_EXPORT std::int32_t Cab(ArcWnd, const char* cmdLine, char* output, std::uint32_t size) {
  return arc::RunCommandEntry<cab::CabFailure>(cmdLine, output, size, &cab::Dispatch);
}

CAB_EXPORT ArcHandle CabOpenArchive(ArcWnd, const char* archiveName, std::uint32_t) {
  if (archiveName == nullptr) return 0;
  try {
    auto cabinet = cab::OpenCabinetOrProgram(archiveName);
    return cab::Listings().Add(std::make_unique<cab::CabListing>(*cabinet));
  } catch (...) {
    return 0;
  }
}

CAB_EXPORT std::int32_t CabCloseArchive(ArcHandle handle) {
  return cab::Listings().Remove(handle) ? 0 : -1;
}

CAB_EXPORT std::int32_t CabFindFirst(ArcHandle handle, const char* wildName,
                                     TArchiveEntryInfo* info) {
  return arc::FindFirstEntry(cab::Listings(), handle, wildName, info);
}

CAB_EXPORT std::int32_t CabFindNext(ArcHandle handle, TArchiveEntryInfo* info) {
  return arc::FindNextEntry(cab::Listings(), handle, info);
}

CAB_EXPORT std::int32_t CabSetProgressCallback(ArcProgressCallback callback, void* user) {
  return arc::SetProgressCallback(callback, user);
}

CAB_EXPORT std::uint16_t CabGetVersion(void) { return cab::kVersion; }

CAB_EXPORT std::int32_t CabCheckArchive(const char* archiveName, std::int32_t) {
  if (archiveName == nullptr) return 0;
  try {
    cab::OpenCabinetOrProgram(archiveName);
    return 1;
  } catch (...) {
    return 0;
  }
}
