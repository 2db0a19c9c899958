// How a path becomes the name an archive stores it under, written once for
// the archiver libraries that write archives and for the program that
// looks an extracted member up again.
//
// '/' and '\' both separate folders ('\' only as a whole character, so the
// trail byte 0x5C of a double-byte character in the active code page stays
// in its character); the root and the empty, "." and ".." parts are left
// out, so a stored name never climbs out of the folder it is extracted to.
// A folder below the base folder is stored relative to the base folder;
// any other keeps its folders as written, without its root
// ("/srv/LOG/DR0715.log" stores "srv/LOG/DR0715.log").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The stored parts of path, folders then the name.
std::vector<std::string> StoredNameParts(std::string_view path);

// The stored folders of a folder path: relative to baseDir (which ends in
// '/') when the folder lies below it, else the whole folder's parts.
std::vector<std::string> StoredFolderParts(const std::string& folder, const std::string& baseDir);

// parts joined with '/'.
std::string JoinStoredName(const std::vector<std::string>& parts);

// The stored name of path; with keepFolders false only its last part.
std::string StoredName(std::string_view path, bool keepFolders = true);

}  // namespace platform
