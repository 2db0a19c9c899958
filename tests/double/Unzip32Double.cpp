// TEST DOUBLE of an extraction-only ZIP library, built as UNZIP32.DLL into
// bin/double/zip/. Its entries answer 100 + their place, so a test sees which
// library an entry came from.
#include "archivers/common/ArchiverApi.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT std::int32_t UnZip(ArcWnd, const char*, char*, std::uint32_t) { return 101; }
EXPORT ArcHandle UnZipOpenArchive(ArcWnd, const char*, std::uint32_t) { return 102; }
EXPORT std::int32_t UnZipCloseArchive(ArcHandle) { return 103; }
