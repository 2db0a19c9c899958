// The kinds the window offers before any are stored.
#pragma once

#include <string>
#include <vector>

namespace pelsok::app {

inline std::vector<std::string> DefaultKinds() { return {"DR", "DD", "NA", "TR", "GA"}; }

}  // namespace pelsok::app
