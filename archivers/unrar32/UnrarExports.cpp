// The library's exported entries. Nothing else is visible from outside.
#include <memory>

#include "RarCommands.h"
#include "RarListing.h"
#include "common/CommandEntry.h"
#include "common/ExportedEntries.h"
#include "common/MemberReading.h"

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

std::int32_t Dispatch(const arc::CommandLine& line, arc::Report& report) {
  const RarOptions o = ReadOptions(line);
  return o.command == 'l' ? RunList(o, report) : RunExtract(o, report);
}

}  // namespace
}  // namespace unrar

ARC_EXPORT std::int32_t Unrar(ArcWnd, const char* cmdLine, char* output, std::uint32_t size) {
  return arc::RunCommandEntry(cmdLine, output, size, unrar::KnownSwitches(), &unrar::Dispatch);
}

ARC_EXPORT ArcHandle UnrarOpenArchive(ArcWnd, const char* archiveName, std::uint32_t mode) {
  const bool checkOnly = (mode & unrar::kModeCheckOnly) != 0;
  return arc::OpenListingEntry(unrar::Listings(), archiveName, [checkOnly](const char* name) {
    unrar::MemberList list = unrar::ReadMembers(name, checkOnly);
    // Checking, an archive whose first header cannot be read (encrypted
    // headers) is still RAR; listing, it gives nothing to list.
    if (!checkOnly && list.members.empty() && !list.stopped.empty())
      return std::unique_ptr<unrar::RarListing>();
    return unrar::MakeListing(std::move(list.members));
  });
}

ARC_LISTING_ENTRIES(Unrar, unrar::Listings())
ARC_VERSION_ENTRY(Unrar, unrar::kVersion)

ARC_EXPORT std::int32_t UnrarCheckArchive(const char* archiveName, std::int32_t) {
  return arc::CheckArchiveEntry(archiveName, [](const char* name) {
    unrar::ReadMembers(name, true);
    return true;
  });
}

ARC_PROGRESS_ENTRY(Unrar)
ARC_READ_MEMBERS_ENTRY(Unrar, "-t")
