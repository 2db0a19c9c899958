// Which entries a mask selects: a mask with a folder delimiter is matched
// against the whole stored path, one without against the name alone; "*"
// and "*.*" match everything; no mask (or an empty one) matches everything.
#pragma once

#include <string>
#include <vector>

namespace cab {

bool MatchesEntry(const std::string& entryName, const std::string& mask);
bool MatchesAnyEntry(const std::string& entryName, const std::vector<std::string>& masks);

}  // namespace cab
