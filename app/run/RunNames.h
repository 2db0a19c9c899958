// The mask and archive name of a run as its input gives them: the names of
// MakeLogNames, with the archive in the input's archive folder when it has one.
#pragma once

#include "app/run/CompressRun.h"
#include "app/run/LogNames.h"

namespace pelsok::app {

TLogNames RunLogNames(const TRunInput& in);

}  // namespace pelsok::app
