// The mounted file systems that hold user files, for the browse dialog's
// drive selector: "/" first, then the others in name order.
#pragma once

#include <string>
#include <vector>

namespace pelsok::app {

// Parses a mounts table (the /proc/self/mounts format).
std::vector<std::string> ParseMountPoints(const std::string& mountsText);
// The running system's mount points; "/" alone when the table is unreadable.
std::vector<std::string> MountPoints();
// The mount point among points that holds folder (the longest prefix).
std::string MountPointOf(const std::string& folder, const std::vector<std::string>& points);

}  // namespace pelsok::app
