// The steps of a run that a watcher may see (or cut short, as a crash
// would): the new archive written, the archive and its folder synced to the
// disk, its manifest in place, one log deleted. Tests install a watcher; a run has none otherwise.
#pragma once

#include <functional>
#include <string>

namespace pelsok::app {

enum class TRunStep { ArchiveWritten, ArchiveSynced, ManifestWritten, LogDeleted };

// Called with the step and the file it concerns (the archive, the manifest
// or the log).
using TRunStepWatcher = std::function<void(TRunStep, const std::string&)>;

// Installs the watcher for every later run (an empty one removes it).
void SetRunStepWatcher(TRunStepWatcher watcher);

// Tells the watcher, if there is one, that a run reached the step.
void ReachRunStep(TRunStep step, const std::string& file);

}  // namespace pelsok::app
