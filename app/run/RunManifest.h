// The manifest a run leaves beside its new archive once every member came
// back whole: the archive's SHA-256, each member's as the check decoded it,
// the link to the kind's newest earlier manifest (that month's manifest made
// first from its members when a stopped run left it without one), what a
// rebuild replaced, and after the deletion pass the logs it deleted.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/run/DeletionPass.h"
#include "app/run/Manifest.h"

namespace pelsok::app {

struct TRunManifest {
  std::string Name;  // the manifest written, full name; empty when none was
  TManifest Manifest;
  // What the run wants the user to know: an earlier month's manifest it
  // made, why it could not make one or why this one was not written.
  std::vector<std::string> Notes;
};

struct TManifestSubject {
  std::string ArchiveName;  // with its folder, kind + year + MM + extension
  std::string Kind;
  std::string Year;  // as the archive's name carries it
  int Month = 0;
  std::string FormatName;  // "LZH"
};

// The comments of a manifest written now by this user on this host, for a
// format by its row name ("lzh" is written "LZH").
TManifest ManifestHeading(const std::string& formatName);

// Records in m that it replaces the manifest on the disk under
// earlierManifest, when there is one: its hash, name and written time.
// Gives what that manifest said; nullopt when there is none (or not ours).
std::optional<TParsedManifest> RecordReplaced(TManifest& m, const std::string& earlierManifest);

// entries: as the check before deletion left them (each sound member with
// its SHA-256); the others are recorded as not hashed.
TRunManifest WriteRunManifest(const TManifestSubject& subject,
                              const std::vector<TListedEntry>& entries);

// Adds one "deleted" comment per log and writes the manifest again; false
// (with a note) when it could not.
bool RecordDeletions(const std::string& archiveName, TRunManifest& manifest,
                     const std::vector<std::string>& deleted);

}  // namespace pelsok::app
