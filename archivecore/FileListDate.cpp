#include "archivecore/FileListDate.h"

#include <string>

#include "platform/Exceptions.h"

namespace pelsok::filelist {

namespace {

// A decimal integer with an optional sign, as the class library's text to
// integer conversion reads it; anything else raises its conversion error.
int StampField(std::string_view s, std::size_t pos, std::size_t len) {
  const std::string_view text = s.substr(pos, len);
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) platform::ThrowNotAnInteger(std::string(text));
  int value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') platform::ThrowNotAnInteger(std::string(text));
    value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

}  // namespace

platform::TDateTime ParseDateTime(std::string_view s) {
  if (s.size() != 6 && s.size() != 12) return 0;

  const int yy = StampField(s, 0, 2);
  const int month = StampField(s, 2, 2);
  const int day = StampField(s, 4, 2);
  const int year = yy < 80 ? 2000 + yy : 1900 + yy;
  platform::TDateTime result = platform::EncodeDate(year, month, day);
  if (s.size() == 12) {
    const int hour = StampField(s, 6, 2);
    const int minute = StampField(s, 8, 2);
    const int second = StampField(s, 10, 2);
    result += platform::EncodeTime(hour, minute, second, 0);
  }
  return result;
}

platform::TDateTime FileTimeToDateTime(std::uint64_t fileTime) {
  if (fileTime == 0) return 0;
  return platform::FileTimeToLocalDateTime(fileTime);
}

}  // namespace pelsok::filelist
