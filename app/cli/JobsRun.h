// `pelsok-cli --jobs FILE`: every job of a jobs file, one after another.
#pragma once

#include <string>

#include "app/cli/CliOutput.h"
#include "platform/DateTime.h"

namespace pelsok::app {

// Reads the whole file first: a bad file is reported and nothing runs
// (exit 3). Each job runs its kinds for the previous month (catchUp: for
// every complete month still in its folder), each run under the lock it
// takes; a job that fails does not stop the next. Returns the worst exit
// status of the jobs.
int RunJobsFile(const std::string& path, bool catchUp, bool dryRun, TCliOutput& out,
                TCliOutput& err, platform::TDateTime today);

}  // namespace pelsok::app
