// l and v: one line per member (v adds the CRC-32, the host system and the
// flags), then a total line.
#include <cstdio>

#include "ArjCommands.h"
#include "OpenArjArchive.h"
#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"
#include "common/ListingReport.h"
#include "common/SafeText.h"

namespace unarj {
std::int32_t RunList(const UnarjOptions& o, arc::Report& report) {
  OpenArjArchive archive(o.archive);
  const bool verbose = o.command == 'v';
  report.Line(arc::ListingHeading(verbose ? "方式   CRC-32   OS Fl 名前" : "方式   名前"));
  std::uint64_t totalOriginal = 0, totalPacked = 0;
  std::size_t count = 0;
  for (const auto& m : archive.index().members) {
    if (!arc::MatchesAnyMask(m.path.Joined(), o.files)) continue;
    ++count;
    const auto& h = m.header;
    totalOriginal += h.originalSize;
    totalPacked += h.packedSize;
    std::uint16_t date = 0, time = 0;
    m.DosStamp(date, time);
    char buf[200];
    std::snprintf(buf, sizeof buf, " %-6s", MethodText(h).c_str());
    std::string line =
        arc::MemberColumns(h.originalSize, h.packedSize,
                           arc::RatioText(h.packedSize, h.originalSize), date, time) +
        buf;
    if (verbose) {
      std::snprintf(buf, sizeof buf, " %08X %2u %02X", h.crc, h.hostOs, h.flags);
      line += buf;
    }
    report.Line(line + " " + arc::SafeText(ListedName(m)));
  }
  return arc::EndListing(report, count, !o.files.empty(), totalOriginal, totalPacked);
}

}  // namespace unarj
