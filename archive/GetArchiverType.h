// Choosing an archive's format from its name or from its content.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "archivecore/ArchiverType.h"
#include "backends/BackendRows.h"

namespace pelsok {

// Format of an archive from its extension (byExtension) or from its content.
TArchiverType GetArchiverType(const std::string& name, bool byExtension);

// Runs the content check of every row, in order, on name; a later positive
// answer overrides an earlier one, and a check that raises counts as no.
TArchiverType DetectArchiverType(const std::string& name, std::span<const TBackendRow> rows);

// The rows of the formats this build writes, in their menu order (the
// default first).
std::vector<const TBackendRow*> WritableFormatRows();

}  // namespace pelsok
