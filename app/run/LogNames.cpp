#include "app/run/LogNames.h"

#include "app/text/IntegerText.h"

namespace pelsok::app {

TLogNames MakeLogNames(const std::string& folder, const std::string& kind, const std::string& year,
                       const std::string& month, bool sixDigit, const std::string& extension) {
  const int m = StrToInt(month);
  if (m < 1 || m > 12) return {};
  const std::string mm = (m <= 9 ? "0" : "") + month;
  if (sixDigit) return {kind + year + mm + "*" + ".log", kind + year + mm + extension};
  return {folder + kind + mm + "*" + ".log", folder + kind + year + mm + extension};
}

}  // namespace pelsok::app
