#include "app/core/LogNames.h"

#include "app/core/IntegerText.h"

namespace pelsok::app {

TLogNames MakeLogNames(const std::string& P, const std::string& K, const std::string& Y,
                       const std::string& M, bool sixDigit, const std::string& extension) {
  const int m = StrToInt(M);
  if (m < 1 || m > 12) return {};
  const std::string MM = (m <= 9 ? "0" : "") + M;
  if (sixDigit) return {K + Y + MM + "*" + ".log", K + Y + MM + extension};
  return {P + K + MM + "*" + ".log", P + K + Y + MM + extension};
}

}  // namespace pelsok::app
