// One job of the command-line front: the runs of every kind of a kind list
// (one kind for a plain run), for one month or, catching up, for every
// complete month whose logs are still in the folder; then, per kind, the
// after-run command and the retention of old archives. The continuous
// command and each job of a jobs file run through here.
#pragma once

#include <string>
#include <vector>

#include "app/cli/CliOutput.h"
#include "app/run/CompressRun.h"
#include "app/run/RunGrade.h"
#include "platform/DateTime.h"

namespace pelsok::app {

struct TJobRun {
  // Folder, archive folder, 6-digit mode (the current folder already set),
  // deletion and format; the year and month unless catching up.
  TRunInput Base;
  std::vector<std::string> Kinds;
  // A kind with no logs for the month is a note, not a failed run (the
  // continuous command and jobs); a plain one-kind run reports it failed.
  bool IdleIsNote = false;
  bool CatchUp = false;
  int Keep = 0;       // archives kept per kind; 0 keeps all
  std::string After;  // command run with each new archive; empty: none
  bool DryRun = false;
  platform::TDateTime Today = 0;
};

// Prints each run's lines to out, errors to err; returns the worst grade.
// An error that ends a run (another run holds the archive, a missing
// library) propagates and ends the job there.
TRunGrade RunJob(const TJobRun& job, TCliOutput& out, TCliOutput& err);

}  // namespace pelsok::app
