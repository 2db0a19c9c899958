// -l: one line per member (sizes, ratio, date, method, flags, name), then a
// total line. Listing reads headers only.
#include <cstdio>

#include "RarCommands.h"
#include "RarListing.h"
#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"
#include "common/ListingReport.h"
#include "common/Messages.h"
#include "common/SafeText.h"

namespace unrar {

std::int32_t RunList(const RarOptions& o, arc::Report& report) {
  MemberList list;
  try {
    list = ReadMembers(o.archive, false);
  } catch (const ArchiveError& e) {
    throw arc::Failure(arc::kNotArchive, e.what());
  }
  const auto& members = list.members;
  const std::string& stopped = list.stopped;
  report.Line(arc::ListingHeading("方式    CRC      属性  名前"));
  std::uint64_t totalOriginal = 0, totalPacked = 0;
  std::size_t count = 0;
  for (const auto& lm : members) {
    if (!arc::MatchesAnyMask(lm.member.name, o.files, o.wholePath)) continue;
    ++count;
    TArchiveEntryInfo info;
    FillEntryInfo(lm, info);
    totalOriginal += lm.member.size;
    totalPacked += lm.packed;
    char buf[200];
    std::snprintf(
        buf, sizeof buf,
        "%12llu %12llu %5.1f%%  %04u-%02u-%02u %02u:%02u:%02u %-7s %08X %c%c%c%c  ",
        static_cast<unsigned long long>(lm.member.size), static_cast<unsigned long long>(lm.packed),
        lm.member.size
            ? 100.0 * static_cast<double>(lm.packed) / static_cast<double>(lm.member.size)
            : 0.0,
        1980u + (info.DosDate >> 9), (info.DosDate >> 5) & 15u, info.DosDate & 31u,
        info.DosTime >> 11u, (info.DosTime >> 5) & 63u, (info.DosTime & 31u) * 2, info.Method,
        info.Crc, (info.Flags & kFlagEncrypted) ? 'E' : '-', (info.Flags & kFlagSolid) ? 'S' : '-',
        (info.Flags & kFlagSplit) ? 'V' : '-', (info.Flags & kFlagUnreadable) ? 'U' : '-');
    report.Line(buf + arc::SafeText(ListedName(lm.member)));
  }
  char total[128];
  std::snprintf(total, sizeof total, "%12llu %12llu  %s",
                static_cast<unsigned long long>(totalOriginal),
                static_cast<unsigned long long>(totalPacked), arc::msg::ListTotal(count).c_str());
  report.Line(total);
  if (!stopped.empty()) {
    report.Line(arc::msg::Line(arc::msg::Verdict::failed, arc::SafeText(stopped)));
    return arc::kNotArchive;
  }
  if (count == 0 && !o.files.empty()) {
    report.Line(arc::msg::NoMemberMatched());
    return arc::kNothingMatched;
  }
  return arc::kOk;
}

}  // namespace unrar
