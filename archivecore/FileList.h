// The component's own expansion of file masks into a sorted list of files,
// used when PackFilter is pfComponent.
#pragma once

#include "archivecore/ArchiverOptions.h"
#include "platform/StringList.h"

namespace pelsok {

// Replaces the masks of list by the sorted, duplicate-free list of matching
// files, applying the a, r, p, ji, jo and job options of o; then sets
// o.r := -1, o.jo := NoValue, o.job := NoValue, o.p := 1. A malformed jo or
// job raises a conversion error before anything is searched.
void ExpandFileList(TArchiverOptions& o, platform::TStringList& list);

}  // namespace pelsok
