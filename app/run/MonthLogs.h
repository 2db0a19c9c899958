// The logs one run would pack: the files its mask finds, and the note for a
// kind that has none that month (an idle kind is not a failed run).
#pragma once

#include <string>
#include <vector>

namespace pelsok::app {

// Full names of the plain files the mask matches, sorted.
std::vector<std::string> MonthLogs(const std::string& mask);

// "DR: 2611 のログはありません": year text and month as the run takes them.
std::string NoLogsNote(const std::string& kind, const std::string& year, const std::string& month);

}  // namespace pelsok::app
