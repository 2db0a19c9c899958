// The command-line front's archive commands: list, test and extract any
// archive a back end of this build reads, its format told by its content
// (its name's extension when the content says nothing).
//
//   pelsok-cli list ARCHIVE
//   pelsok-cli test ARCHIVE
//   pelsok-cli extract ARCHIVE [DIR] [MASK...]
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pelsok::app {

// True when args name one of the archive commands.
bool IsArchiveCommand(const std::vector<std::string>& args);

// Runs an archive command; returns an exit code of CliExit (CliJob.h).
int RunArchiveCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace pelsok::app
