// The command-line front's convert command: moves archives onto another
// format, each checked member by member before its old archive may go.
//
//   pelsok-cli convert [--format F] [--replace] ARCHIVE|FOLDER...
//
// F is a format this build writes (tzst when none is given); a folder
// converts every archive in it, oldest first. One summary line per archive.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pelsok::app {

bool IsConvertCommand(const std::vector<std::string>& args);

// Runs it; returns an exit code of CliExit (CliJob.h): 0 when every archive
// was converted or was in the format already, 2 when one was not, 3 for a
// bad command line.
int RunConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace pelsok::app
