// A manifest on the disk: written the way an archive is, under a temporary
// name in the family an interrupted run's recovery removes
// (.NAME.tmp-manifest beside the archive NAME), synced, renamed over
// NAME.sha256 and its folder synced, so that the name never stands for a
// partial manifest.
#pragma once

#include <optional>
#include <string>

namespace pelsok::app {

// Writes text as the manifest of archiveName, with the archive's permission
// bits. Empty when it reached the disk, otherwise why not.
std::string WriteManifestFile(const std::string& archiveName, const std::string& text);

// The whole text of a file; nullopt when it cannot be read.
std::optional<std::string> ReadManifestFile(const std::string& manifestName);

}  // namespace pelsok::app
