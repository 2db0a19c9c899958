// Date-time values: days since 30 December 1899, time of day as the fraction.
#pragma once

#include <cstdint>

namespace platform {

using TDateTime = double;

// Throws EConvertError when the date or time does not exist.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& out);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& millisecond);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// The local date and time now.
TDateTime Now();

// 64-bit file time: 100 ns intervals since 1 January 1601, UTC.
std::uint64_t UnixTimeToFileTime(std::int64_t seconds, std::int64_t nanoseconds);
// Local date-time of a UTC file time; 0 for a zero file time.
TDateTime FileTimeToLocalDateTime(std::uint64_t fileTime);
// MS-DOS date and time (local) of a Unix time, and back.
void UnixTimeToDos(std::int64_t seconds, std::uint16_t& dosDate, std::uint16_t& dosTime);
std::int64_t DosToUnixTime(std::uint16_t dosDate, std::uint16_t dosTime);

}  // namespace platform
