// Which entries a command's file operands select: a mask with a '/' (or
// '\') is matched against the whole stored path, one without against the
// name alone; "*" and "*.*" match everything; no mask selects every entry.
#pragma once

#include <string>
#include <vector>

namespace zipcore {

bool MatchesAny(const std::string& entryName, const std::vector<std::string>& masks);

}  // namespace zipcore
