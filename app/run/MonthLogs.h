// The logs one run would pack: the files its mask finds, split into those
// the run can read and those it cannot (such as a log at mode 000: it is
// named and stays where it is while the others are packed), and the note for
// a kind that has none that month (an idle kind is not a failed run).
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

// Full names of the plain files the mask matches, sorted.
std::vector<std::string> MonthLogs(const std::string& mask);

// "DR: 2611 のログはありません": year text and month as the run takes them.
std::string NoLogsNote(const std::string& kind, const std::string& year, const std::string& month);

}  // namespace pelsok::app
