// l and v: one line per member (v adds the CRC, the header level and the
// system id), then a total line.
#include <cstdio>

#include "Commands.h"
#include "OpenArchive.h"
#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"
#include "common/ListingReport.h"
#include "common/Messages.h"
#include "lzharc/EntryName.h"
#include "lzharc/MemberTime.h"

namespace unlha {

std::int32_t RunList(const UnlhaOptions& o, arc::Report& report) {
  OpenArchive archive(o.archive);
  const bool verbose = o.command == 'v';
  report.Line(arc::ListingHeading(verbose ? "方式  CRC  Lv OS 名前" : "方式   名前"));
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
    std::string line =
        arc::MemberColumns(m.listedSize(), h.packedSize,
                           arc::RatioText(h.packedSize, h.originalSize), date, time) +
        " " + lzh::PrintableName(h.method);
    if (verbose) {
      std::snprintf(buf, sizeof buf, " %04X %d  %c", h.dataCrc, h.level,
                    h.osId >= 0x20 && h.osId < 0x7F ? h.osId : '?');
      line += buf;
    }
    std::string name = m.path.Joined();
    if (h.isDirectory()) name += "/";
    report.Line(line + " " + lzh::PrintableName(name));
  }
  return arc::EndListing(report, count, !o.files.empty(), totalOriginal, totalPacked);
}

}  // namespace unlha
