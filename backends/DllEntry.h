// Resolving library entries by name.
#pragma once

#include "platform/DynamicLibrary.h"

namespace pelsok {

// The entry's address; a missing entry raises EArchiver with the library's
// file name, " に ", the name and " のエントリが見つかりません。".
void* GetDllEntry(platform::LibraryHandle module, const char* name);

}  // namespace pelsok
