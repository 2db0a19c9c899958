// The exported entries of UNZIP32.DLL. Nothing else is visible from outside.
#include "common/ArchiverApi.h"
#include "common/Progress.h"
#include "zipcore/Commands.h"
#include "zipcore/ZipListing.h"

#define UNZIP_EXPORT extern "C" __attribute__((visibility("default")))

UNZIP_EXPORT std::int32_t UnZip(ArcWnd, const char* cmdLine, char* output, std::uint32_t size) {
  return zipcore::RunCommandLine(cmdLine, output, size, true);
}

UNZIP_EXPORT ArcHandle UnZipOpenArchive(ArcWnd, const char* archiveName, std::uint32_t) {
  return zipcore::ListingOpen(archiveName);
}

UNZIP_EXPORT std::int32_t UnZipCloseArchive(ArcHandle handle) {
  return zipcore::ListingClose(handle);
}

UNZIP_EXPORT std::int32_t UnZipFindFirst(ArcHandle handle, const char* wildName,
                                         TArchiveEntryInfo* info) {
  return zipcore::ListingFindFirst(handle, wildName, info);
}

UNZIP_EXPORT std::int32_t UnZipFindNext(ArcHandle handle, TArchiveEntryInfo* info) {
  return zipcore::ListingFindNext(handle, info);
}

UNZIP_EXPORT std::int32_t UnZipSetProgressCallback(ArcProgressCallback callback, void* user) {
  return arc::SetProgressCallback(callback, user);
}

UNZIP_EXPORT std::uint16_t UnZipGetVersion(void) { return 100; }

UNZIP_EXPORT std::int32_t UnZipCheckArchive(const char* archiveName, std::int32_t) {
  return zipcore::ListingCheck(archiveName);
}
