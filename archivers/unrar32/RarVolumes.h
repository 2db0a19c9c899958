// The files of a multi-volume RAR set, found from the name of its first
// volume: "name.part1.rar" → "name.part2.rar" ...; "name.rar" → "name.r00",
// "name.r01" ...; a plain split "name.001" → "name.002" .... Volumes are
// taken while the next name exists, so a set with a missing volume ends
// early and the member that runs into the gap is reported by the reader.
#pragma once

#include <string>
#include <vector>

namespace unrar {

// The given file first, then the volumes that follow it (none for a
// single-file archive).
std::vector<std::string> VolumeSet(const std::string& first);

// The name of the volume after this one, or "" when the name follows none
// of the patterns above.
std::string NextVolumeName(const std::string& name);

}  // namespace unrar
