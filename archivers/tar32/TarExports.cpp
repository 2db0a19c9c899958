// The library's exported entries. Nothing else is visible from outside.
#include <fcntl.h>
#include <unistd.h>

#include <memory>

#include "ArchiveStart.h"
#include "CommandLocale.h"
#include "Commands.h"
#include "TarListing.h"
#include "common/CommandEntry.h"
#include "common/ExportedEntries.h"
#include "common/MemberReading.h"

namespace tar32 {
namespace {

arc::HandleTable<TarListing>& Listings() {
  static arc::HandleTable<TarListing> table;
  return table;
}

std::int32_t Dispatch(const arc::CommandLine& line, arc::Report& report) {
  const TarOptions o = ReadOptions(line);
  arc::Progress progress;
  return o.command == 'c' ? RunCreate(o, report, progress) : RunExtract(o, report, progress);
}

}  // namespace
}  // namespace tar32

ARC_EXPORT std::int32_t Tar(ArcWnd, const char* cmdLine, char* output, std::uint32_t size) {
  tar32::CommandLocale locale;
  return arc::RunCommandEntry(cmdLine, output, size, tar32::KnownSwitches(), &tar32::Dispatch,
                              arc::OtherMessages::safe);
}

ARC_EXPORT ArcHandle TarOpenArchive(ArcWnd, const char* archiveName, std::uint32_t) {
  tar32::CommandLocale locale;
  return arc::OpenListingEntry(tar32::Listings(), archiveName,
                               [](const char* name) { return tar32::OpenTarListing(name); });
}

ARC_LISTING_ENTRIES(Tar, tar32::Listings())

ARC_EXPORT std::int32_t TarGetArchiveType(const char* fileName) {
  if (fileName == nullptr) return tararc::kNotTar;
  tar32::CommandLocale locale;
  const int fd = ::open(fileName, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return tararc::kNotTar;
  const tararc::ArchiveType type = tararc::DetectType(fd, tar32::ArchiveStart(fd), fileName);
  ::close(fd);
  return type;
}

ARC_PROGRESS_ENTRY(Tar)
ARC_READ_MEMBERS_ENTRY(Tar, "t")
