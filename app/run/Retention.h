// Keeping the newest N month archives of a kind and removing older ones.
// Only names that are exactly kind + YY + MM + the job's extension count:
// a copy, a backup or another kind's archive is never touched. Nothing goes
// unless the newest archive passes the library's test.
#pragma once

#include <string>
#include <vector>

#include "app/settings/ArchiveFormat.h"

namespace pelsok::app {

struct TRetentionPlan {
  std::string Newest;               // full name; empty when there is none
  std::vector<std::string> Remove;  // full names, oldest first
};

// folder ends with '/' (empty: the current folder). keep 0 removes nothing.
TRetentionPlan PlanRetention(const std::string& folder, const std::string& kind,
                             const std::string& extension, int keep);

struct TRetentionResult {
  std::vector<std::string> Removed;
  std::vector<std::string> NotRemoved;  // "name (reason)"
  std::string Refused;                  // why nothing was removed; empty otherwise
};

// Tests the newest archive with its format's check, then removes the plan's
// archives; with dryRun only the test runs and Removed names what would go.
TRetentionResult ApplyRetention(const TRetentionPlan& plan, const TArchiveFormat& format,
                                bool dryRun);

}  // namespace pelsok::app
