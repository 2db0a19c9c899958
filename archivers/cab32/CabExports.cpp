// The library's exported entries. Nothing else is visible from outside.
#include <memory>

#include "CabListing.h"
#include "Commands.h"
#include "common/CommandEntry.h"
#include "common/ExportedEntries.h"
#include "common/MemberReading.h"
#include "common/Messages.h"

namespace cab {
namespace {

constexpr std::uint16_t kVersion = 100;  // 1.00

arc::HandleTable<CabListing>& Listings() {
  static arc::HandleTable<CabListing> table;
  return table;
}

std::int32_t Dispatch(const arc::CommandLine& line, arc::Report& report) {
  const CabOptions o = ReadOptions(line);
  switch (o.command) {
    case Command::add:
      return RunAdd(o, report);
    case Command::extract:
      return RunExtract(o, report);
    case Command::test:
      return RunTest(o, report);
    case Command::makeSfx:
      return RunMakeSfx(o, report);
  }
  throw arc::Failure(arc::kBadCommand, arc::msg::UnknownCommand({}));
}

}  // namespace
}  // namespace cab

ARC_EXPORT std::int32_t Cab(ArcWnd, const char* cmdLine, char* output, std::uint32_t size) {
  return arc::RunCommandEntry(cmdLine, output, size, cab::KnownSwitches(), &cab::Dispatch);
}

ARC_EXPORT ArcHandle CabOpenArchive(ArcWnd, const char* archiveName, std::uint32_t) {
  return arc::OpenListingEntry(cab::Listings(), archiveName, [](const char* name) {
    return std::make_unique<cab::CabListing>(*cab::OpenCabinetOrProgram(name));
  });
}

ARC_LISTING_ENTRIES(Cab, cab::Listings())
ARC_PROGRESS_ENTRY(Cab)
ARC_VERSION_ENTRY(Cab, cab::kVersion)

ARC_EXPORT std::int32_t CabCheckArchive(const char* archiveName, std::int32_t) {
  return arc::CheckArchiveEntry(archiveName, [](const char* name) {
    cab::OpenCabinetOrProgram(name);
    return true;
  });
}
ARC_READ_MEMBERS_ENTRY(Cab, "-t")
