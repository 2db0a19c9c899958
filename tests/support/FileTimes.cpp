#include "tests/support/FileTimes.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <stdexcept>

namespace testing_support {

void SetWriteTime(const std::string& path, std::int64_t seconds, long nanoseconds) {
  const timespec times[2] = {{static_cast<time_t>(seconds), nanoseconds},
                             {static_cast<time_t>(seconds), nanoseconds}};
  if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
    throw std::runtime_error("cannot set the times of " + path + ": " + std::strerror(errno));
}

std::int64_t UtcTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  return static_cast<std::int64_t>(timegm(&tm));
}

}  // namespace testing_support
