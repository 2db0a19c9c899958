// The libdeflate level each file of an add command is deflated at. Levels
// 1-6, 8 and 9 are libdeflate's own. Level 7, the default, sits between
// libdeflate's 7 and 8, which has no level in between: its 8 is about 2.5 %
// smaller on logs but takes more than twice the time, so the first half of
// the bytes goes at 8 and the rest at 7, which brings a month under the size
// of 7-Zip's -mx5 in about two thirds of Info-ZIP's -6 time on two cores
// (README, "Level of the ZIP default").
#pragma once

#include <cstdint>
#include <vector>

namespace zipcore {

// One level per file, for files of the given sizes in archive order. The
// choice depends on the sizes and the order only, never on the threads, so
// the archive's bytes are the same for any thread count.
std::vector<int> DeflateLevels(const std::vector<std::uint64_t>& sizes, int level);

}  // namespace zipcore
