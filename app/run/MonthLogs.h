// The logs a run's mask finds, split into those the run can read and those
// it cannot (such as a log at mode 000): an unreadable log is named and
// stays where it is while the others are packed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelsok::app {

struct TMonthLogs {
  std::vector<std::string> Readable;    // paths as the mask's folder gives them
  std::vector<std::string> Unreadable;  // likewise
  // The permission bits every readable log has (0777 when there is none):
  // the archive that holds them gets no more than this.
  std::uint32_t CommonMode = 0777;
  std::uint64_t ReadableBytes = 0;  // the readable logs' sizes together
};

TMonthLogs FindMonthLogs(const std::string& mask);

}  // namespace pelsok::app
