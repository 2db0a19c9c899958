// libzip's view of an archive whose layout it would refuse, put right as
// DirectoryLayout.h found it: the file from its shift on, so a prepended
// stub is not seen and the offsets hold, and the UTF-8 flag cleared on the
// names that are not UTF-8. Read-only.
#pragma once

#include <zip.h>

#include <string>

#include "DirectoryLayout.h"

namespace zipcore {

// Opens the archive at path through the view; nullptr, with code set, when
// libzip refuses it all the same.
zip_t* OpenThroughLayoutView(const std::string& path, const DirectoryLayout& layout, int& code);

}  // namespace zipcore
