#include "ListingReport.h"

#include <cstdio>

#include "common/ArchiverApi.h"
#include "common/Messages.h"

namespace arc {

std::string RatioText(std::uint64_t packed, std::uint64_t original) {
  if (original == 0) return "  0.0%";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%5.1f%%",
                100.0 * static_cast<double>(packed) / static_cast<double>(original));
  return buf;
}

std::string ListingHeading(const std::string& rest) {
  return "    元サイズ       圧縮後 圧縮率  日付       時刻     " + rest;
}

std::string MemberColumns(std::uint64_t original, std::uint64_t packed, const std::string& ratio,
                          std::uint16_t date, std::uint16_t time) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%12llu %12llu %s  %04u-%02u-%02u %02u:%02u:%02u",
                static_cast<unsigned long long>(original), static_cast<unsigned long long>(packed),
                ratio.c_str(), 1980u + (date >> 9), (date >> 5) & 15u, date & 31u, time >> 11u,
                (time >> 5) & 63u, (time & 31u) * 2);
  return buf;
}

std::int32_t EndListing(Report& report, std::size_t count, bool masksGiven,
                        std::uint64_t totalOriginal, std::uint64_t totalPacked) {
  if (count == 0 && masksGiven) {
    report.Line(msg::NoMemberMatched());
    return kNothingMatched;
  }
  char total[128];
  std::snprintf(total, sizeof total, "%12llu %12llu %s  %s",
                static_cast<unsigned long long>(totalOriginal),
                static_cast<unsigned long long>(totalPacked),
                RatioText(totalPacked, totalOriginal).c_str(), msg::ListTotal(count).c_str());
  report.Line(total);
  return kOk;
}

}  // namespace arc
