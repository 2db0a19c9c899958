#include "DeflateLevels.h"

namespace zipcore {

std::vector<int> DeflateLevels(const std::vector<std::uint64_t>& sizes, int level) {
  std::vector<int> levels(sizes.size(), level);
  if (level != 7) return levels;
  // Files of a month are alike in size: taking the stronger level whenever
  // it has had no more bytes than the faster one alternates them, and a
  // file much larger than the rest tips the balance for the files after it.
  std::uint64_t strong = 0, fast = 0;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    if (strong <= fast) {
      levels[i] = 8;
      strong += sizes[i];
    } else {
      fast += sizes[i];
    }
  }
  return levels;
}

}  // namespace zipcore
