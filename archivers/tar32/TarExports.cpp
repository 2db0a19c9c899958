// The library's exported entries. Nothing else is visible from outside.
#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <new>

#include "ArchiveStart.h"
#include "CommandLocale.h"
#include "Commands.h"
#include "TarListing.h"
#include "common/ArchiverApi.h"
#include "common/CommandLine.h"
#include "common/HandleTable.h"
#include "common/ListingEntries.h"
#include "common/Progress.h"
#include "common/Report.h"
#include "common/SafeText.h"

#define TAR32_EXPORT extern "C" __attribute__((visibility("default")))

namespace tar32 {
namespace {

arc::HandleTable<TarListing>& Listings() {
  static arc::HandleTable<TarListing> table;
  return table;
}

std::int32_t Dispatch(const char* text, arc::Report& report) {
  arc::CommandLine line;
  if (auto err =
          arc::ParseCommandLine(text ? text : "", KnownSwitches(), arc::ReadResponseFile, line)) {
    report.Line(err->message);
    return err->result;
  }
  const TarOptions o = ReadOptions(line);
  arc::Progress progress;
  return o.command == 'c' ? RunCreate(o, report, progress) : RunExtract(o, report, progress);
}

}  // namespace
}  // namespace tar32

TAR32_EXPORT std::int32_t Tar(ArcWnd, const char* cmdLine, char* output, std::uint32_t size) {
  tar32::CommandLocale locale;
  arc::Report report;
  std::int32_t result;
  try {
    result = tar32::Dispatch(cmdLine, report);
  } catch (const tar32::CommandFailure& e) {
    report.Line(e.what());
    result = e.Result();
  } catch (const std::bad_alloc&) {
    report.Line("out of memory");
    result = arc::kNoMemory;
  } catch (const std::exception& e) {
    report.Line(arc::SafeText(e.what()));
    result = arc::kCannotWrite;
  }
  try {
    report.CopyTo(output, size);
  } catch (...) {
  }
  return result;
}

TAR32_EXPORT ArcHandle TarOpenArchive(ArcWnd, const char* archiveName, std::uint32_t) {
  if (archiveName == nullptr) return 0;
  tar32::CommandLocale locale;
  try {
    return tar32::Listings().Add(std::make_unique<tar32::TarListing>(archiveName));
  } catch (...) {
    return 0;
  }
}

TAR32_EXPORT std::int32_t TarCloseArchive(ArcHandle handle) {
  return tar32::Listings().Remove(handle) ? 0 : -1;
}

TAR32_EXPORT std::int32_t TarFindFirst(ArcHandle handle, const char* wildName,
                                       TArchiveEntryInfo* info) {
  return arc::FindFirstEntry(tar32::Listings(), handle, wildName, info);
}

TAR32_EXPORT std::int32_t TarFindNext(ArcHandle handle, TArchiveEntryInfo* info) {
  return arc::FindNextEntry(tar32::Listings(), handle, info);
}

TAR32_EXPORT std::int32_t TarGetArchiveType(const char* fileName) {
  if (fileName == nullptr) return tararc::kNotTar;
  tar32::CommandLocale locale;
  const int fd = ::open(fileName, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return tararc::kNotTar;
  const tararc::ArchiveType type = tararc::DetectType(fd, tar32::ArchiveStart(fd), fileName);
  ::close(fd);
  return type;
}

TAR32_EXPORT std::int32_t TarSetProgressCallback(ArcProgressCallback callback, void* user) {
  return arc::SetProgressCallback(callback, user);
}
