// Which months a catch-up run packs for a kind: every complete month whose
// logs are still in the folder, oldest first, read from the folder itself
// (no state is kept between runs). The current month is never one of them.
#pragma once

#include <string>
#include <vector>

#include "platform/DateTime.h"

namespace pelsok::app {

struct TPendingMonth {
  std::string Year;   // two digits, as the archive name carries it
  std::string Month;  // "1" to "12"
  bool operator==(const TPendingMonth&) const = default;
};

// Logs named kind + MM + DD + ".log" in folder carry no year: such a month
// is the last one of that number before today's month (a November log in
// December is this year's, a December log in March last year's). In 6-digit
// mode (kind + YY + MM + DD + ".log", in the current folder; folder unused)
// the year is the name's; a month from today's on is not complete.
std::vector<TPendingMonth> PendingMonths(const std::string& folder, const std::string& kind,
                                         bool sixDigit, platform::TDateTime today);

}  // namespace pelsok::app
