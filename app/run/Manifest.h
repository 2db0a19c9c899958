// The checksum manifest kept beside an archive, NAME.sha256, in the form
// sha256sum reads: the archive's own line, one line per member (the SHA-256
// of the member's data under its stored name) and, after a "# previous"
// comment, the line of the manifest of the kind's month before, so that the
// months form a chain. Comment lines, which sha256sum skips, say when, where,
// by whom and in what format the archive was written, which earlier
// manifest a rebuild replaced, which logs were deleted and when; the last
// one seals everything above it with its SHA-256, so an edit that does not
// also recompute the seal shows.
//
//   # pelsok manifest 1
//   # written 2026-12-01T00:30:02+09:00
//   # host srv1
//   # user root
//   # format LZH
//   3a7b…  DR2611.LZH
//   91c0…  DR1101.log
//   # previous
//   5e2d…  DR2610.LZH.sha256
//   # deleted 2026-12-01T00:30:05+09:00 /var/log/app/DR1101.log
//   # seal 0f4e…
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pelsok::app {

// One line sha256sum checks: the hash and the name (relative to the
// manifest's folder).
struct TManifestLine {
  std::string Hash;
  std::string Name;
  bool operator==(const TManifestLine&) const = default;
};

struct TManifestDeletion {
  std::string When;  // the time text, as ManifestTime gives it
  std::string Log;   // the log's full name
  bool operator==(const TManifestDeletion&) const = default;
};

struct TManifest {
  std::string Written;  // when the archive was written (ManifestTime)
  std::string Host;
  std::string User;
  std::string Format;  // the format's name, "LZH", "TZST", ...
  TManifestLine Archive;
  std::vector<TManifestLine> Members;
  // Members whose data could not be hashed (their names only).
  std::vector<std::string> Unhashed;
  // The kind's earlier manifest this one links to.
  std::optional<TManifestLine> Previous;
  // An earlier manifest of the same archive that this one replaced: its
  // hash and name, and when it had been written.
  std::optional<TManifestLine> Replaces;
  std::string ReplacesWritten;
  std::vector<TManifestDeletion> Deleted;
  bool operator==(const TManifest&) const = default;
};

// The manifest's text, sealed.
std::string FormatManifest(const TManifest& manifest);

struct TParsedManifest {
  TManifest Manifest;
  bool Sealed = false;       // it has a seal line ...
  bool SealMatches = false;  // ... and the text above it is what it seals
  // Lines that are neither comments nor hash lines sha256sum reads.
  std::vector<std::string> BadLines;
};

// nullopt when the text is not a manifest of ours (no heading line).
std::optional<TParsedManifest> ParseManifest(const std::string& text);

// "DR2611.LZH" -> "DR2611.LZH.sha256", with the archive's folder.
std::string ManifestName(const std::string& archiveName);

// Local time with its offset from UTC, "2026-12-01T00:30:02+09:00".
std::string ManifestTime(long long unixSeconds);

// This machine's name and the effective user's, for the comments.
std::string ManifestHost();
std::string ManifestUser();

}  // namespace pelsok::app
