#include "app/settings/DateDefaults.h"

namespace pelsok::app {

TMonthYearText PreviousMonthText(int year, int month) {
  int m = month - 1;
  int y = year;
  if (m < 1) {
    m = 12;
    --y;
  }
  const int yy = ((y % 100) + 100) % 100;
  std::string yt = std::to_string(yy);
  if (yt.size() < 2) yt = "0" + yt;
  return {std::to_string(m), yt};
}

TMonthYearText PreviousMonthText(platform::TDateTime today) {
  int y = 0, m = 0, d = 0;
  platform::DecodeDate(today, y, m, d);
  return PreviousMonthText(y, m);
}

}  // namespace pelsok::app
