// The command-line front's verify command: checks archives against the
// manifests beside them (NAME.sha256) and the chain of manifests back to
// the oldest one present.
//
//   pelsok-cli verify ARCHIVE|FOLDER...
//
// A folder checks every archive in it of a format we read (one with no
// manifest is reported) and each manifest whose archive retention removed,
// oldest first. One summary line per archive, its findings below it.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pelsok::app {

bool IsVerifyCommand(const std::vector<std::string>& args);

// Runs it; returns an exit code of CliExit (CliJob.h): 0 when everything
// matches, 2 when anything does not (a manifest missing, a changed
// archive, member or manifest, a broken link), 3 for a bad command line.
int RunVerifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace pelsok::app
