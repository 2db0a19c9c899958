// Which entries the masks of a command name: a mask without a folder
// delimiter matches the entry's own name, one with a delimiter its whole
// stored path; "*", "*.*" and an empty mask match every entry, and so does
// an empty list. '\' in a mask is the Windows delimiter (whole characters
// only), and a trailing '/' of a folder entry does not count.
#pragma once

#include <string>
#include <vector>

namespace arc {

// wholePath: every mask is matched against the whole stored path.
bool MatchesAnyMask(const std::string& storedName, const std::vector<std::string>& masks,
                    bool wholePath = false);

}  // namespace arc
