// The exported entries of ZIP32J.DLL. Nothing else is visible from outside.
// The listing entries are the same as UNZIP32.DLL's, under the same names.
#include "common/ExportedEntries.h"
#include "zipcore/Commands.h"
#include "zipcore/ZipListing.h"

ARC_EXPORT std::int32_t Zip(ArcWnd, const char* cmdLine, char* output, std::uint32_t size) {
  return zipcore::RunCommandLine(cmdLine, output, size, false);
}

ARC_EXPORT ArcHandle UnZipOpenArchive(ArcWnd, const char* archiveName, std::uint32_t) {
  return zipcore::ListingOpen(archiveName);
}

ARC_LISTING_ENTRIES(UnZip, zipcore::Listings())
ARC_PROGRESS_ENTRY(Zip)
ARC_VERSION_ENTRY(Zip, 100)
