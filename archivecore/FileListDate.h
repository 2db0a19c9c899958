// Date bounds of the file-list expansion: the YYMMDD / YYMMDDhhmmss stamps
// of the jo and job options and the last-write times they are compared with.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/DateTime.h"

namespace pelsok::filelist {

// The date-time a stamp names, or 0 when s is not 6 or 12 characters long
// (which covers the empty string and NoValue). Two-digit years below 80 are
// 20YY, the others 19YY. A field that is not an integer, or a date or time
// that does not exist, raises the conversion error.
platform::TDateTime ParseDateTime(std::string_view s);

// Local date-time of a UTC file time, milliseconds included; 0 for a zero time.
platform::TDateTime FileTimeToDateTime(std::uint64_t fileTime);

// The last-write window; a bound of 0 is no bound.
struct TDateRange {
  platform::TDateTime From = 0;  // inclusive
  platform::TDateTime To = 0;    // exclusive

  bool InDateRange(platform::TDateTime t) const {
    if (From != 0 && t < From) return false;
    if (To != 0 && t >= To) return false;
    return true;
  }
};

}  // namespace pelsok::filelist
