// Last-write times set to the nanosecond, and Unix times of UTC calendar times.
#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

// Sets the file's last-access and last-write times to the Unix time given
// (seconds and nanoseconds, UTC); throws std::runtime_error on failure.
void SetWriteTime(const std::string& path, std::int64_t seconds, long nanoseconds = 0);

// Unix time of a UTC calendar time.
std::int64_t UtcTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

}  // namespace testing_support
