#include "app/cli/JournalLine.h"

#include <cstdio>

#include "app/text/IntegerText.h"

namespace pelsok::app {

std::string JournalLine(const TRunInput& in, const TRunResult& result, std::uint64_t archiveBytes,
                        double seconds) {
  std::uint64_t bytesIn = 0;
  for (const auto& e : result.Entries) bytesIn += e.OriginalSize;
  const int month = StrToInt(in.Month);
  char time[32];
  std::snprintf(time, sizeof time, "%.2f", seconds);
  return "run " + in.Kind + " " + in.Year + (month <= 9 ? "0" : "") + std::to_string(month) +
         " logs " + std::to_string(result.Entries.size()) + " in " + std::to_string(bytesIn) +
         " out " + std::to_string(archiveBytes) + " deleted " +
         std::to_string(result.Deletion.Deleted.size()) + " seconds " + time + " archive " +
         result.Names.ArchiveName;
}

}  // namespace pelsok::app
