// A multi-volume ARJ set (NAME.ARJ, NAME.A01, NAME.A02, ...): the volume
// opened and the ones after it, each indexed, a member split between
// volumes joined into one whose parts are decoded in turn (each part is
// packed and checked on its own).
#pragma once

#include <string>

#include "ArjArchive.h"

namespace arj {

// The volume after name: ".arj" → ".a01", ".a01" → ".a02" (the letter
// keeps its case); "" after ".a99".
std::string NextVolumeName(const std::string& name);

// The index of name and, while a main header says another volume follows,
// of the volumes after it. A volume that is missing or unreadable ends the
// set: the member that runs into it gets its name in missingVolume.
Index ReadVolumeSet(const std::string& name);

// Why a member of a set cannot be read whole (it began in a volume before
// the one opened, or goes on in one that is missing), or "".
std::string VolumeProblem(const Member& m);

}  // namespace arj
