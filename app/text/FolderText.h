// Folder texts of the browse dialog: the path copied into the folder field
// and the label's shortened form.
#pragma once

#include <functional>
#include <string>

namespace pelsok::app {

// The folder with one trailing delimiter: unchanged when its last whole
// character is already the delimiter.
std::string FolderWithDelimiter(const std::string& folder);

// Replaces leading folders by "..." until fits(text) holds:
// "/home/user/logs/app" -> "/.../logs/app" -> "/.../app".
std::string MinimizeName(const std::string& path,
                         const std::function<bool(const std::string&)>& fits);

}  // namespace pelsok::app
