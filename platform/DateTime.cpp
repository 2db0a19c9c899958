#include "DateTime.h"

#include <cmath>
#include <ctime>

#include "Exceptions.h"

namespace platform {

namespace {

// Days from 1 January of year 1 to 30 December 1899.
constexpr long kDelta = 693594;
// 100 ns intervals between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;

long DaysBeforeYear(int year) {
  const long y = year - 1;
  return y * 365 + y / 4 - y / 100 + y / 400;
}

constexpr int kMonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                   {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) { return kMonthDays[IsLeapYear(year) ? 1 : 0][month - 1]; }

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month)) {
    return false;
  }
  long days = DaysBeforeYear(year);
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  days += day;
  out = static_cast<TDateTime>(days - kDelta);
  return true;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& out) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      millisecond < 0 || millisecond > 999) {
    return false;
  }
  const long ms = ((hour * 60L + minute) * 60L + second) * 1000L + millisecond;
  out = static_cast<TDateTime>(ms) / 86400000.0;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime out;
  if (!TryEncodeDate(year, month, day, out)) throw EConvertError("日付が正しくありません");
  return out;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  TDateTime out;
  if (!TryEncodeTime(hour, minute, second, millisecond, out)) {
    throw EConvertError("時刻が正しくありません");
  }
  return out;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
  long days = static_cast<long>(std::floor(dt)) + kDelta;  // days since 0001-01-01, 1-based
  int y = static_cast<int>(days / 366) + 1;
  while (DaysBeforeYear(y + 1) < days) ++y;
  days -= DaysBeforeYear(y);
  int m = 1;
  while (days > DaysInMonth(y, m)) days -= DaysInMonth(y, m++);
  year = y;
  month = m;
  day = static_cast<int>(days);
}

void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& millisecond) {
  const double frac = dt - std::floor(dt);
  long ms = std::lround(frac * 86400000.0);
  if (ms >= 86400000L) ms = 86400000L - 1;
  hour = static_cast<int>(ms / 3600000L);
  minute = static_cast<int>(ms / 60000L % 60);
  second = static_cast<int>(ms / 1000L % 60);
  millisecond = static_cast<int>(ms % 1000);
}

TDateTime Now() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return FileTimeToLocalDateTime(UnixTimeToFileTime(ts.tv_sec, ts.tv_nsec));
}

std::uint64_t UnixTimeToFileTime(std::int64_t seconds, std::int64_t nanoseconds) {
  return static_cast<std::uint64_t>(seconds * 10000000LL + nanoseconds / 100) +
         kUnixEpochAsFileTime;
}

TDateTime FileTimeToLocalDateTime(std::uint64_t fileTime) {
  if (fileTime == 0) return 0;
  const std::int64_t rel = static_cast<std::int64_t>(fileTime - kUnixEpochAsFileTime);
  std::int64_t secs = rel / 10000000LL;
  std::int64_t rem = rel % 10000000LL;
  if (rem < 0) {
    rem += 10000000LL;
    --secs;
  }
  const time_t t = static_cast<time_t>(secs);
  tm local{};
  localtime_r(&t, &local);
  TDateTime d = 0, tod = 0;
  if (!TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, d)) return 0;
  TryEncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                static_cast<int>(rem / 10000), tod);
  return d + tod;
}

void UnixTimeToDos(std::int64_t seconds, std::uint16_t& dosDate, std::uint16_t& dosTime) {
  const time_t t = static_cast<time_t>(seconds);
  tm local{};
  localtime_r(&t, &local);
  int year = local.tm_year + 1900;
  if (year < 1980) {
    dosDate = (0 << 9) | (1 << 5) | 1;
    dosTime = 0;
    return;
  }
  if (year > 2107) year = 2107;
  dosDate =
      static_cast<std::uint16_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
  dosTime =
      static_cast<std::uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
}

std::int64_t DosToUnixTime(std::uint16_t dosDate, std::uint16_t dosTime) {
  tm local{};
  local.tm_year = ((dosDate >> 9) & 0x7F) + 80;
  local.tm_mon = ((dosDate >> 5) & 0x0F) - 1;
  local.tm_mday = dosDate & 0x1F;
  local.tm_hour = (dosTime >> 11) & 0x1F;
  local.tm_min = (dosTime >> 5) & 0x3F;
  local.tm_sec = (dosTime & 0x1F) * 2;
  local.tm_isdst = -1;
  return static_cast<std::int64_t>(mktime(&local));
}

}  // namespace platform
