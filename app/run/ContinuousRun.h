// The continuous command: one Compress run per kind of the kind list.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace pelsok::app {

// For each kind in list order: setKind(kind), then runOne(). Afterwards
// setKind(first kind), or setKind("") for an empty list. An error of a run
// propagates at once, leaving the failed kind set.
void RunContinuous(const std::vector<std::string>& kinds,
                   const std::function<void(const std::string&)>& setKind,
                   const std::function<void()>& runOne);

}  // namespace pelsok::app
