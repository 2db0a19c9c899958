// l and v: one line per member (v adds the CRC-32, the host system and the
// flags), then a total line.
#include <cstdio>

#include "ArjCommands.h"
#include "OpenArjArchive.h"
#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"
#include "common/SafeText.h"

namespace unarj {
namespace {

std::string RatioText(std::uint64_t packed, std::uint64_t original) {
  if (original == 0) return "  0.0%";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%5.1f%%",
                100.0 * static_cast<double>(packed) / static_cast<double>(original));
  return buf;
}

}  // namespace

std::int32_t RunList(const UnarjOptions& o, arc::Report& report) {
  OpenArjArchive archive(o.archive);
  const bool verbose = o.command == 'v';
  report.Line(
      verbose ? "    Original       Packed  Ratio  Date       Time     Method CRC-32   OS Fl Name"
              : "    Original       Packed  Ratio  Date       Time     Method Name");
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
    std::snprintf(
        buf, sizeof buf, "%12lu %12lu %s  %04u-%02u-%02u %02u:%02u:%02u %-6s",
        static_cast<unsigned long>(h.originalSize), static_cast<unsigned long>(h.packedSize),
        RatioText(h.packedSize, h.originalSize).c_str(), 1980u + (date >> 9), (date >> 5) & 15u,
        date & 31u, time >> 11, (time >> 5) & 63u, (time & 31u) * 2, MethodText(h).c_str());
    std::string line = buf;
    if (verbose) {
      std::snprintf(buf, sizeof buf, " %08X %2u %02X", h.crc, h.hostOs, h.flags);
      line += buf;
    }
    report.Line(line + " " + arc::SafeText(ListedName(m)));
  }
  if (count == 0 && !o.files.empty()) {
    report.Line("no member matched");
    return arc::kNothingMatched;
  }
  char total[128];
  std::snprintf(total, sizeof total, "%12llu %12llu %s  %zu file(s)",
                static_cast<unsigned long long>(totalOriginal),
                static_cast<unsigned long long>(totalPacked),
                RatioText(totalPacked, totalOriginal).c_str(), count);
  report.Line(total);
  return arc::kOk;
}

}  // namespace unarj
