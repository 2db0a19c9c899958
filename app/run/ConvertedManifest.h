// The manifest of an archive that conversion made from an older one: the
// new archive's SHA-256 and each member's as it decodes from it, in the
// same place of the kind's chain as the old archive's manifest (its link to
// the month before), and the old manifest it replaces named with its hash,
// so that the month still checks after the old archive is gone.
#pragma once

#include <string>

#include "archive/ArchiveFile.h"

namespace pelsok::app {

// converted is bound to its format; formatName is its row's name. Empty
// when the manifest reached the disk, otherwise why not.
std::string WriteConvertedManifest(const std::string& oldArchiveName, TArchiveFile& converted,
                                   const std::string& formatName);

}  // namespace pelsok::app
