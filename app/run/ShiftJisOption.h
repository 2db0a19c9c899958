// The archiver switches that store names as Shift-JIS (cp932): UNLHA32.DLL's
// -k1 and ZIP32J.DLL's -k (option ji). Other formats keep their names as
// they are.
#pragma once

#include "archivecore/ArchiverOptions.h"
#include "archivecore/ArchiverType.h"

namespace pelsok::app {

// True for the formats whose libraries can store Shift-JIS names.
bool StoresShiftJisNames(TArchiverType type);
void StoreShiftJisNames(TArchiverOptions& options, TArchiverType type);

}  // namespace pelsok::app
