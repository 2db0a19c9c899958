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

// "    Original       Packed  Ratio  Date       Time    " columns of one
// member; the caller adds the method and what follows.
std::string MemberColumns(std::uint64_t original, std::uint64_t packed, const std::string& ratio,
                          std::uint16_t dosDate, std::uint16_t dosTime);

// Ends the listing of count members: with masks given and none matched,
// "no member matched" and kNothingMatched; else the total line and kOk.
std::int32_t EndListing(Report& report, std::size_t count, bool masksGiven,
                        std::uint64_t totalOriginal, std::uint64_t totalPacked);

}  // namespace arc
