// What a run that was killed midway leaves beside an archive, and how the
// next run for that archive puts it right before it starts: an old archive
// still moved aside goes back under its name (so its entries count), and
// the library's temporary files for that archive are removed. Called with
// the archive's run lock held, so no other run can be using them.
#pragma once

#include <string>
#include <vector>

namespace pelsok::app {

// Puts things right; returns one line per thing done, for the user.
std::vector<std::string> RecoverInterruptedRun(const std::string& archiveName);

// Old archives kept beside this one (NAME.old, NAME.old1, ...).
std::vector<std::string> KeptOldArchives(const std::string& archiveName);

}  // namespace pelsok::app
