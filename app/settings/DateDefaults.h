// The month and year fields' start values: the month before today, the year
// as two digits.
#pragma once

#include <string>

#include "platform/DateTime.h"

namespace pelsok::app {

struct TMonthYearText {
  std::string Month;  // "1" to "12", no leading zero
  std::string Year;   // two digits, "99" for 1999
};

TMonthYearText PreviousMonthText(int year, int month);
TMonthYearText PreviousMonthText(platform::TDateTime today);

}  // namespace pelsok::app
