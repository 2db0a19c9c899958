// l and v: one line per member (v adds the CRC, the header level and the
// system id), then a total line.
#include <cstdio>

#include "Commands.h"
#include "OpenArchive.h"
#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"
#include "lzharc/EntryName.h"
#include "lzharc/MemberTime.h"

namespace unlha {

std::int32_t RunList(const UnlhaOptions& o, arc::Report& report) {
  OpenArchive archive(o.archive);
  const bool verbose = o.command == 'v';
  report.Line(verbose
                  ? "    Original       Packed  Ratio  Date       Time     Method CRC  Lv OS Name"
                  : "    Original       Packed  Ratio  Date       Time     Method Name");
  std::uint64_t totalOriginal = 0, totalPacked = 0;
  std::size_t count = 0;
  for (const auto& m : archive.index().members) {
    if (!arc::MatchesAnyMask(m.path.Joined(), o.files)) continue;
    ++count;
    const auto& h = m.header;
    totalOriginal += m.listedSize();
    totalPacked += h.packedSize;
    std::uint16_t date = 0, time = 0;
    lzh::MemberDosStamp(h, date, time);
    char buf[160];
    std::snprintf(buf, sizeof buf, "%12llu %12llu %s  %04u-%02u-%02u %02u:%02u:%02u %s",
                  static_cast<unsigned long long>(m.listedSize()),
                  static_cast<unsigned long long>(h.packedSize),
                  RatioText(h.packedSize, h.originalSize).c_str(), 1980u + (date >> 9),
                  (date >> 5) & 15u, date & 31u, time >> 11, (time >> 5) & 63u, (time & 31u) * 2,
                  lzh::PrintableName(h.method).c_str());
    std::string line = buf;
    if (verbose) {
      std::snprintf(buf, sizeof buf, " %04X %d  %c", h.dataCrc, h.level,
                    h.osId >= 0x20 && h.osId < 0x7F ? h.osId : '?');
      line += buf;
    }
    std::string name = m.path.Joined();
    if (h.isDirectory()) name += "/";
    report.Line(line + " " + lzh::PrintableName(name));
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

}  // namespace unlha
