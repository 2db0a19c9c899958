#include "DeflateLevels.h"

namespace zipcore {

std::vector<int> DeflateLevels(const std::vector<std::uint64_t>& sizes, int level) {
  std::vector<int> levels(sizes.size(), level);
  if (level != 7) return levels;
  // The files that start within the first half of the bytes go at 8, the
  // rest at 7: the workers take the files in order, so the slow ones run
  // first and the last file a worker waits for is a fast one.
  std::uint64_t total = 0;
  for (std::uint64_t size : sizes) total += size;
  std::uint64_t before = 0;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    levels[i] = 2 * before < total ? 8 : 7;
    before += sizes[i];
  }
  return levels;
}

}  // namespace zipcore
