// Path helpers of the file-list expansion: splitting a list item into the
// folder to search and the mask, and joining a folder and a name again.
// Both respect double-byte text: a trail byte never reads as a delimiter.
#pragma once

#include <string>
#include <string_view>

namespace pelsok::filelist {

struct TItemParts {
  std::string Dir;   // folder to search; empty for the current folder
  std::string Mask;  // name or mask inside that folder
};

// Mask: the text after the last delimiter (all of item when there is none).
// Dir: the text up to the last delimiter; the delimiter itself is kept only
// when it is the first character or follows another delimiter, so "/*.log"
// gives "/" while "/var/log/*.log" gives "/var/log".
TItemParts SplitItem(std::string_view item);

// Dir and name with exactly the delimiter between them that Dir lacks;
// name alone when dir is empty.
std::string JoinPath(std::string_view dir, std::string_view name);

// The first byte of the last character of a non-empty s.
char LastChar(std::string_view s);

// True when path exists and is a folder (links followed).
bool IsDirectory(const std::string& path);

}  // namespace pelsok::filelist
