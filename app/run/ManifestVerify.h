// The check of one archive against the manifest beside it (NAME.sha256):
// the manifest is ours and its seal holds, the archive's SHA-256 is its
// line's, each member's data (read through the member entry, nothing
// written) is its line's, and each chain link, back to the oldest manifest
// present, names a manifest whose hash it holds and whose own seal holds.
// Each difference is a finding that names the file it concerns; what is
// only told (the chain's start, an archive retention removed) does not
// fail the check.
#pragma once

#include <string>
#include <vector>

namespace pelsok::app {

enum class TVerifyKind {
  // Failures.
  NoManifest,       // no NAME.sha256 beside the archive
  NotManifest,      // the manifest cannot be read or is not one of ours
  SealBroken,       // the manifest's text is not what its seal seals: edited
  WrongArchive,     // the manifest's archive line names another archive
  NoArchive,        // neither the archive nor its manifest is there
  ArchiveUnread,    // the archive cannot be read to its end
  ArchiveChanged,   // the archive's hash is not its line's
  MembersUnread,    // the archive's library could not hand its members over
  MemberChanged,    // a member's data hash is not its line's
  MemberUnread,     // a member did not decode whole
  MemberMissing,    // a member line names no member of the archive
  MemberExtra,      // a member of the archive has no line
  LinkBroken,       // a previous manifest is there but its hash differs
  LinkNotManifest,  // a previous manifest is there but not readable as ours
  LinkSealBroken,   // a previous manifest was edited
  ChainLoop,        // the chain comes back to a manifest it passed
  // Information.
  ArchiveRemoved,    // the archive is gone (retention), its manifest stays
  MemberUnhashed,    // the writer could not hash this member: not compared
  ChainStart,        // the chain ends at a manifest with no previous line
  ChainPreviousGone  // the chain ends: the previous manifest is gone
};

// The kinds that fail the check.
bool IsVerifyFailure(TVerifyKind kind);

struct TVerifyFinding {
  TVerifyKind Kind;
  std::string File;     // the file it concerns (an archive, a member, a manifest)
  std::string Message;  // what was found, as a person reads it
};

enum class TVerifyVerdict {
  Matches,     // every line holds
  Differs,     // one failure or more
  NoManifest,  // the archive has no manifest (or neither is there)
};

struct TVerifyResult {
  std::string Archive;   // the archive's full name
  std::string Manifest;  // its manifest's full name
  TVerifyVerdict Verdict = TVerifyVerdict::Matches;
  std::size_t Members = 0;  // member lines compared and found equal
  std::size_t Links = 0;    // previous manifests checked along the chain
  std::vector<TVerifyFinding> Findings;
};

// Checks archiveName (or, given a manifest's name, the archive it is
// beside). Never raises: what goes wrong is a finding.
TVerifyResult VerifyArchive(const std::string& archiveName);

// How many of its findings fail it.
std::size_t VerifyFailures(const TVerifyResult& result);

// The verdict as one word, for a column: 一致, 不一致, なし.
std::string VerdictWord(TVerifyVerdict verdict);

// One line for the result: "一致: DR2611.LZH (...)".
std::string VerifySummary(const TVerifyResult& result);

// What a folder holds to check, oldest first: each archive of a format we
// read, and each manifest of ours whose archive is gone.
std::vector<std::string> VerifyTargets(const std::string& folder);

}  // namespace pelsok::app
