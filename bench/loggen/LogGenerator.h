// Writes realistic, deterministic daily log files for one log kind and month.
#pragma once

#include <cstdint>
#include <string>

namespace loggen {

struct Options {
  std::string outDir;
  std::string kind;
  int year = 0;
  int month = 0;
  bool sixDigit = false;                // names kind+YY+MM+DD.log instead of kind+MM+DD.log
  std::uint64_t bytesPerDay = 1100000;  // about 35 MB for a 31-day month
  std::uint64_t seed = 1;
};

int daysInMonth(int year, int month);
std::string fileName(const Options& o, int day);

// Writes every day's file; throws std::runtime_error when a file cannot be written.
void generateMonth(const Options& o);

}  // namespace loggen
