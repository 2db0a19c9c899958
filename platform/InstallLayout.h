// Where an installed program finds the data it ships with. Installed, the
// programs sit in <prefix>/bin, the archiver libraries and the
// self-extracting stubs in <prefix>/lib/pelsok (InstalledLibraryFolder in
// DynamicLibrary.h), the help pages in <prefix>/share/pelsok. In the build
// tree everything is in bin/ itself.
#pragma once

#include <string>

namespace platform {

// <executable's folder>/../share/pelsok/, folded, with a trailing delimiter;
// empty when the executable's folder is unknown.
std::string InstalledDataFolder();

}  // namespace platform
