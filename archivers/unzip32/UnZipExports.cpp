// The exported entries of UNZIP32.DLL. Nothing else is visible from outside.
#include "common/ExportedEntries.h"
#include "common/MemberReading.h"
#include "zipcore/Commands.h"
#include "zipcore/ZipListing.h"

ARC_EXPORT std::int32_t UnZip(ArcWnd, const char* cmdLine, char* output, std::uint32_t size) {
  return zipcore::RunCommandLine(cmdLine, output, size, true);
}

ARC_EXPORT ArcHandle UnZipOpenArchive(ArcWnd, const char* archiveName, std::uint32_t) {
  return zipcore::ListingOpen(archiveName);
}

ARC_LISTING_ENTRIES(UnZip, zipcore::Listings())
ARC_PROGRESS_ENTRY(UnZip)
ARC_VERSION_ENTRY(UnZip, 100)

ARC_EXPORT std::int32_t UnZipCheckArchive(const char* archiveName, std::int32_t) {
  return zipcore::ListingCheck(archiveName);
}
ARC_READ_MEMBERS_ENTRY(UnZip, "-t")
