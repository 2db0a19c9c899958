// The exported entries of ZIP32J.DLL. Nothing else is visible from outside.
// The listing entries are the same as UNZIP32.DLL's, under the same names.
#include "common/ArchiverApi.h"
#include "common/Progress.h"
#include "zipcore/Commands.h"
#include "zipcore/ZipListing.h"

#define ZIP_EXPORT extern "C" __attribute__((visibility("default")))

ZIP_EXPORT std::int32_t Zip(ArcWnd, const char* cmdLine, char* output, std::uint32_t size) {
  return zipcore::RunCommandLine(cmdLine, output, size, false);
}

ZIP_EXPORT ArcHandle UnZipOpenArchive(ArcWnd, const char* archiveName, std::uint32_t) {
  return zipcore::ListingOpen(archiveName);
}

ZIP_EXPORT std::int32_t UnZipCloseArchive(ArcHandle handle) {
  return zipcore::ListingClose(handle);
}

ZIP_EXPORT std::int32_t UnZipFindFirst(ArcHandle handle, const char* wildName,
                                       TArchiveEntryInfo* info) {
  return zipcore::ListingFindFirst(handle, wildName, info);
}

ZIP_EXPORT std::int32_t UnZipFindNext(ArcHandle handle, TArchiveEntryInfo* info) {
  return zipcore::ListingFindNext(handle, info);
}

ZIP_EXPORT std::int32_t ZipSetProgressCallback(ArcProgressCallback callback, void* user) {
  return arc::SetProgressCallback(callback, user);
}

ZIP_EXPORT std::uint16_t ZipGetVersion(void) { return 100; }
