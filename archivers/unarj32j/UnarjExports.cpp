// The library's exported entries. Nothing else is visible from outside.

#include <memory>

#include "ArjCommands.h"
#include "ArjListing.h"
#include "arj/ArjVolumes.h"
#include "common/CommandEntry.h"
#include "common/ExportedEntries.h"
#include "common/MemberReading.h"

namespace unarj {
namespace {

constexpr std::uint16_t kVersion = 100;  // 1.00

arc::HandleTable<ArjListing>& Listings() {
  static arc::HandleTable<ArjListing> table;
  return table;
}

std::int32_t Dispatch(const arc::CommandLine& line, arc::Report& report) {
  const UnarjOptions o = ReadOptions(line);
  if (o.command == 'l' || o.command == 'v') return RunList(o, report);
  return RunExtract(o, report);
}

// Reads the archive's index (with the volumes after it); false when it is
// not a whole ARJ archive.
bool ReadIndex(const char* name, arj::Index& index) {
  if (name == nullptr) return false;
  index = arj::ReadVolumeSet(name);
  return index.ok;
}

}  // namespace
}  // namespace unarj

ARC_EXPORT std::int32_t Unarj(ArcWnd, const char* cmdLine, char* output, std::uint32_t size) {
  return arc::RunCommandEntry(cmdLine, output, size, unarj::KnownSwitches(), &unarj::Dispatch);
}

ARC_EXPORT ArcHandle UnarjOpenArchive(ArcWnd, const char* archiveName, std::uint32_t) {
  return arc::OpenListingEntry(unarj::Listings(), archiveName, [](const char* name) {
    arj::Index index;
    return unarj::ReadIndex(name, index) ? unarj::MakeListing(std::move(index.members)) : nullptr;
  });
}

ARC_LISTING_ENTRIES(Unarj, unarj::Listings())
ARC_PROGRESS_ENTRY(Unarj)
ARC_VERSION_ENTRY(Unarj, unarj::kVersion)

ARC_EXPORT std::int32_t UnarjCheckArchive(const char* archiveName, std::int32_t) {
  return arc::CheckArchiveEntry(archiveName, [](const char* name) {
    arj::Index index;
    return unarj::ReadIndex(name, index);
  });
}
ARC_READ_MEMBERS_ENTRY(Unarj, "t")
