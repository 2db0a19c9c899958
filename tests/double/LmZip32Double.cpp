// TEST DOUBLE of the ZIP library that both creates and extracts, built as
// LMZIP32.DLL into bin/double/zip/. It spells the "UnZip" entries with a
// lower-case z; its entries answer 300 + their place.
#include "archivers/common/ArchiverApi.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT std::int32_t Zip(ArcWnd, const char*, char*, std::uint32_t) { return 300; }
EXPORT std::int32_t Unzip(ArcWnd, const char*, char*, std::uint32_t) { return 301; }
EXPORT ArcHandle UnzipOpenArchive(ArcWnd, const char*, std::uint32_t) { return 302; }
EXPORT std::int32_t UnzipCloseArchive(ArcHandle) { return 303; }
