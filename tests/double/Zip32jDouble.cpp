// TEST DOUBLE of a ZIP creation library, built as ZIP32J.DLL into
// bin/double/zip/. It has "Zip" and the listing entries but no "UnZip"; its
// entries answer 200 + their place.
#include "archivers/common/ArchiverApi.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT std::int32_t Zip(ArcWnd, const char*, char*, std::uint32_t) { return 200; }
EXPORT ArcHandle UnZipOpenArchive(ArcWnd, const char*, std::uint32_t) { return 202; }
EXPORT std::int32_t UnZipCloseArchive(ArcHandle) { return 203; }
