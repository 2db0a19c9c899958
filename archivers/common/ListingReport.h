// The report lines of the l and v commands that the LZH and ARJ libraries
// write alike: a member's sizes, ratio, date and time, and the closing
// total line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Report.h"

namespace arc {

// Packed per original as a percentage, "%5.1f%%"; "  0.0%" for an empty
// original.
std::string RatioText(std::uint64_t packed, std::uint64_t original);

// The heading over those columns (original size, packed size, ratio, date,
// time), aligned for a terminal where a kanji or kana is two columns wide;
// the caller gives the heading of the method column and what follows.
std::string ListingHeading(const std::string& rest);

// The original, packed, ratio, date and time columns of one member; the
// caller adds the method and what follows.
std::string MemberColumns(std::uint64_t original, std::uint64_t packed, const std::string& ratio,
                          std::uint16_t dosDate, std::uint16_t dosTime);

// Ends the listing of count members: with masks given and none matched,
// the no-match text and kNothingMatched; else the total line and kOk.
std::int32_t EndListing(Report& report, std::size_t count, bool masksGiven,
                        std::uint64_t totalOriginal, std::uint64_t totalPacked);

}  // namespace arc
