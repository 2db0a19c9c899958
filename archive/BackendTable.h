// The back-end selection table: one row per archive format, in the order of
// TArchiverType. Adding a format is one unit in backends/ and one row here.
#pragma once

#include <memory>

#include "archive/ArchiverType.h"
#include "backends/Archiver.h"

namespace pelsok {

using BackendFactory = std::unique_ptr<TArchiver> (*)();

// The factory for type t; null when this build has no back end for it.
BackendFactory BackendFor(TArchiverType t);

}  // namespace pelsok
