// Makes a file that was just written durable: its data and its name in its
// folder reach the disk before anything that relies on them happens (such
// as deleting the files it holds copies of).
#pragma once

#include <string>

namespace platform {

// Syncs the file's data and then its folder's entry for it. Empty when both
// reached the disk, otherwise the system's reason.
std::string SyncFileAndFolder(const std::string& path);

}  // namespace platform
