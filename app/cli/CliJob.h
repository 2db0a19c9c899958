// The command-line front: one Compress run, or the continuous command, with
// no window, for monthly runs from cron or a timer. Asks nothing; deletes
// only with --delete.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "platform/DateTime.h"

namespace pelsok::app {

struct TCliOptions {
  std::optional<std::string> Kind;
  std::optional<std::vector<std::string>> Kinds;  // --kinds A,B,C
  std::optional<std::string> Year;
  std::optional<std::string> Month;
  std::optional<std::string> Folder;
  std::optional<bool> SixDigit;
  bool Delete = false;
  bool DryRun = false;                // print what would happen, touch nothing
  bool NoManifest = false;            // no NAME.sha256 beside the archive
  std::optional<std::string> Format;  // --format NAME (a row of ArchiveFormats)
  // --shift-jis-names / --no-shift-jis-names; the stored setting when absent.
  std::optional<bool> ShiftJisNames;
  bool Continuous = false;
  bool Help = false;
  std::optional<std::string> Jobs;   // --jobs FILE: every job of the file
  bool CatchUp = false;              // every complete month whose logs remain
  std::optional<int> Keep;           // --keep N: month archives kept per kind
  std::optional<std::string> After;  // --after COMMAND: run with each new archive
};

// Exit codes: the worst grade of the runs.
enum CliExit : int {
  kExitOk = 0,       // every run packed without a warning
  kExitWarning = 1,  // an archiver warning, or packed files that were kept
  kExitFailed = 2,   // an archiver error result (nothing matched, ...)
  kExitError = 3,    // an error: bad option, month not an integer, library missing, ...
};

// Raises platform::Exception with the message for a bad command line.
TCliOptions ParseCliOptions(const std::vector<std::string>& args);
std::string CliUsage();

// Runs the command line; prints the entries packed and the files deleted to
// out, errors to err; returns the exit code.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           platform::TDateTime today);

}  // namespace pelsok::app
