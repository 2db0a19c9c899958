// The files of one folder a command works through, oldest first (by time
// of last change, then by name): regular files only, hidden ones left out.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace pelsok::app {

// wanted sees each file's full name; nothing is listed when the folder
// cannot be read.
std::vector<std::string> FilesOldestFirst(const std::string& folder,
                                          const std::function<bool(const std::string&)>& wanted);

}  // namespace pelsok::app
