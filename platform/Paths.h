// Path names. The delimiter is the platform's ('/' here); drive letters and
// ':' as a delimiter exist only on Windows.
#pragma once

#include <string>
#include <string_view>

namespace platform {

inline constexpr char kPathDelim = '/';
// Characters that end a folder part of a name: the delimiter (and ':' on Windows).
inline constexpr std::string_view kPathDelimiters = "/";

bool IsPathDelimiter(std::string_view s, std::size_t pos);
std::string IncludeTrailingPathDelimiter(std::string_view s);
std::string ExcludeTrailingPathDelimiter(std::string_view s);
// Folder part with its trailing delimiter ("/var/log/a.log" -> "/var/log/").
std::string ExtractFilePath(std::string_view s);
// Name part ("/var/log/a.log" -> "a.log").
std::string ExtractFileName(std::string_view s);
// From the last '.' after the last delimiter, dot included; empty when none.
std::string ExtractFileExt(std::string_view s);
std::string ChangeFileExt(std::string_view s, std::string_view ext);
// Full path against the current folder, with "." and ".." folded.
std::string ExpandFileName(std::string_view s);

}  // namespace platform
