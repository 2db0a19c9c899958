// Where a month's manifest links to: the kind's newest earlier month in the
// archive's folder. Only names that are exactly kind + year + MM + a
// format's extension (+ ".sha256" for a manifest) count, the year with as
// many digits as the run's; months with neither archive nor manifest are
// skipped, and December of one year comes before January of the next.
#pragma once

#include <string>

namespace pelsok::app {

struct TEarlierMonth {
  // The newest earlier manifest, full name; empty when there is none.
  std::string Manifest;
  // The newest earlier month's archive when that month has no manifest yet
  // (a run stopped between its archive and its manifest, or one from before
  // manifests); empty otherwise.
  std::string ArchiveWithoutManifest;
};

// archiveName: the run's archive, kind + year + MM + extension, with its
// folder (none: the current folder). year is as the name carries it.
TEarlierMonth FindEarlierMonth(const std::string& archiveName, const std::string& kind,
                               const std::string& year, int month);

}  // namespace pelsok::app
