// The one line a finished run leaves on standard output, fit for the
// journal or a mail from cron: kind, month, logs packed, bytes in and out,
// logs deleted, seconds, and the archive last (its name may hold blanks):
//   run DR 2611 logs 30 in 34603008 out 4823449 deleted 30 seconds 0.41 archive
//   /var/log/app/DR2611.LZH
#pragma once

#include <cstdint>
#include <string>

#include "app/run/CompressRun.h"

namespace pelsok::app {

// month as the run took it ("9" or "09"); archiveBytes the archive's size.
std::string JournalLine(const TRunInput& in, const TRunResult& result, std::uint64_t archiveBytes,
                        double seconds);

}  // namespace pelsok::app
