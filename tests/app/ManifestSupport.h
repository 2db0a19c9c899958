// Months packed by the real run and the manifests beside them, written here
// from what the archive holds (its SHA-256, each member's read through the
// member entry) and chained to the month before, as the run writes them.
#pragma once

#include <string>

#include "app/run/CompressRun.h"
#include "app/run/Manifest.h"
#include "app/run/MemberHashes.h"
#include "app/run/RunState.h"
#include "app/run/Sha256.h"
#include "app/settings/ArchiveFormat.h"
#include "archive/ArchiveFile.h"
#include "platform/Paths.h"
#include "tests/support/Files.h"

namespace apptest {

// Packs the logs of month in folder (its trailing '/') as the month's LZH
// archive, as the run does; returns the archive's name.
inline std::string PackLogs(const std::string& folder, int month) {
  pelsok::app::TRunInput in;
  in.Folder = folder;
  in.Kind = "DR";
  in.Year = "26";
  in.Month = std::to_string(month);
  pelsok::app::TRunState state;
  return pelsok::app::TCompressRun(state).Run(in, [] { return false; }).Names.ArchiveName;
}

// Three logs DR<MM>01.log .. DR<MM>03.log in folder, packed.
inline std::string PackMonth(const std::string& folder, int month) {
  const std::string mm = (month < 10 ? "0" : "") + std::to_string(month);
  for (int d = 1; d <= 3; ++d)
    testing_support::WriteFile(folder + "DR" + mm + "0" + std::to_string(d) + ".log",
                               "2026-" + mm + " line of day " + std::to_string(d) + "\n");
  return PackLogs(folder, month);
}

// Writes archive's manifest, linked to previous (a manifest) when given;
// returns the manifest's name.
inline std::string WriteManifest(const std::string& archive, const std::string& previous = "") {
  using namespace pelsok::app;
  TManifest m;
  m.Written = ManifestTime(1796083200);
  m.Host = "test-host";
  m.User = "test-user";
  m.Format = "LZH";
  m.Archive = {FileSha256(archive).value_or(""), platform::ExtractFileName(archive)};
  pelsok::TArchiveFile file(nullptr);
  file.SetFileName(archive);
  for (const auto& [name, hash] : HashMembers(file).Hashes) m.Members.push_back({hash, name});
  if (!previous.empty())
    m.Previous = TManifestLine{TextSha256(testing_support::ReadFile(previous)),
                               platform::ExtractFileName(previous)};
  testing_support::WriteFile(ManifestName(archive), FormatManifest(m));
  return ManifestName(archive);
}

// Two months chained: DR2610.LZH and DR2611.LZH with their manifests.
struct TChainedMonths {
  std::string October, November;
};
inline TChainedMonths PackTwoMonths(const std::string& folder) {
  TChainedMonths m;
  m.October = PackMonth(folder, 10);
  const std::string first = WriteManifest(m.October);
  m.November = PackMonth(folder, 11);
  WriteManifest(m.November, first);
  return m;
}

}  // namespace apptest
