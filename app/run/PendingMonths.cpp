#include "app/run/PendingMonths.h"

#include <cctype>
#include <set>
#include <utility>

#include "platform/FileSystem.h"

namespace pelsok::app {
namespace {

// The number of the two digits at pos of name, or -1.
int TwoDigits(const std::string& name, std::size_t pos) {
  if (pos + 2 > name.size()) return -1;
  const unsigned char a = name[pos], b = name[pos + 1];
  if (!std::isdigit(a) || !std::isdigit(b)) return -1;
  return (a - '0') * 10 + (b - '0');
}

std::string TwoDigitText(int n) { return std::string(1, char('0' + n / 10)) + char('0' + n % 10); }

}  // namespace

std::vector<TPendingMonth> PendingMonths(const std::string& folder, const std::string& kind,
                                         bool sixDigit, platform::TDateTime today) {
  int year = 0, month = 0, day = 0;
  platform::DecodeDate(today, year, month, day);
  const int thisMonth = year * 12 + (month - 1);

  // Months as year * 12 + month - 1, so that the set runs oldest first.
  std::set<int> months;
  const std::string pattern = (sixDigit ? std::string() : folder) + kind + "*.log";
  platform::DirectorySearch search;
  platform::FindData data;
  for (bool more = search.First(pattern, data); more; more = search.Next(data)) {
    if ((data.Attributes & platform::faDirectory) != 0) continue;
    const std::size_t at = kind.size();
    int y = year, m = 0;
    if (sixDigit) {
      const int yy = TwoDigits(data.Name, at);
      m = TwoDigits(data.Name, at + 2);
      if (yy < 0) continue;
      y = (year / 100) * 100 + yy;
    } else {
      m = TwoDigits(data.Name, at);
      if (m > month) --y;
    }
    if (m < 1 || m > 12) continue;
    const int when = y * 12 + (m - 1);
    if (when < thisMonth) months.insert(when);
  }
  std::vector<TPendingMonth> pending;
  for (int when : months)
    pending.push_back({TwoDigitText((when / 12) % 100), std::to_string(when % 12 + 1)});
  return pending;
}

}  // namespace pelsok::app
