#include "app/run/RunManifest.h"

#include <cctype>
#include <ctime>

#include "app/run/ManifestChain.h"
#include "app/run/ManifestFile.h"
#include "app/run/MemberHashes.h"
#include "app/run/Sha256.h"
#include "app/settings/ArchiveFormat.h"
#include "archive/ArchiveFile.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace pelsok::app {
namespace {

// The line of a manifest that a manifest beside it links to.
std::optional<TManifestLine> LinkTo(const std::string& manifestName) {
  if (manifestName.empty()) return std::nullopt;
  const auto hash = FileSha256(manifestName);
  if (!hash) return std::nullopt;
  return TManifestLine{*hash, platform::ExtractFileName(manifestName)};
}

// The manifest of an earlier month's archive that has none, made from its
// members as they decode now; a note says it was made, or why not.
void CompleteEarlierMonth(const std::string& archiveName, const std::string& previousManifest,
                          std::vector<std::string>& notes) {
  const std::string extension = platform::ExtractFileExt(archiveName);
  const TArchiveFormat* format = nullptr;
  for (const auto& f : ArchiveFormats())
    if (extension == f.Extension) format = &f;
  if (format == nullptr) return;
  TManifest m = ManifestHeading(format->Name);
  try {
    TArchiveFile archive(nullptr);
    archive.SetFileName(archiveName);
    archive.SetArchiverType(format->Type);
    archive.SetOutputSize(8192);
    const TMemberHashes hashes = HashMembers(archive);
    if (hashes.Result != 0 || !hashes.Failed.empty() || hashes.Hashes.empty()) {
      notes.push_back(platform::FormatText(
          "以前の月の書庫 '%s' は検査に通らないため、マニフェストを作りませんでした。",
          {archiveName}));
      return;
    }
    for (const auto& [name, hash] : hashes.Hashes) m.Members.push_back({hash, name});
  } catch (const std::exception& e) {
    notes.push_back(platform::FormatText("以前の月の書庫 '%s' のマニフェストを作れませんでした: %s",
                                         {archiveName, e.what()}));
    return;
  }
  const auto hash = FileSha256(archiveName);
  if (!hash) return;
  m.Archive = {*hash, platform::ExtractFileName(archiveName)};
  m.Previous = LinkTo(previousManifest);
  const std::string why = WriteManifestFile(archiveName, FormatManifest(m));
  if (why.empty())
    notes.push_back(platform::FormatText(
        "以前の月の書庫 '%s' にマニフェストがなかったため、書庫の中身から '%s' を作りました。",
        {archiveName, ManifestName(archiveName)}));
  else
    notes.push_back(platform::FormatText("マニフェスト '%s' を書けませんでした: %s",
                                         {ManifestName(archiveName), why}));
}

}  // namespace

TManifest ManifestHeading(const std::string& formatName) {
  TManifest m;
  m.Written = ManifestTime(static_cast<long long>(std::time(nullptr)));
  m.Host = ManifestHost();
  m.User = ManifestUser();
  m.Format = formatName;
  for (char& c : m.Format) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return m;
}

std::optional<TParsedManifest> RecordReplaced(TManifest& m, const std::string& earlierManifest) {
  const auto before = ReadManifestFile(earlierManifest);
  if (!before) return std::nullopt;
  m.Replaces = TManifestLine{TextSha256(*before), platform::ExtractFileName(earlierManifest)};
  auto parsed = ParseManifest(*before);
  if (parsed) m.ReplacesWritten = parsed->Manifest.Written;
  return parsed;
}

TRunManifest WriteRunManifest(const TManifestSubject& subject,
                              const std::vector<TListedEntry>& entries) {
  TRunManifest out;
  const std::string& archiveName = subject.ArchiveName;
  const std::string manifestName = ManifestName(archiveName);
  const auto archiveHash = FileSha256(archiveName);
  if (!archiveHash) {
    out.Notes.push_back(platform::FormatText(
        "書庫 '%s' を読み直せないため、マニフェストを書きませんでした。", {archiveName}));
    return out;
  }
  TEarlierMonth earlier = FindEarlierMonth(archiveName, subject.Kind, subject.Year, subject.Month);
  if (!earlier.ArchiveWithoutManifest.empty()) {
    CompleteEarlierMonth(earlier.ArchiveWithoutManifest, earlier.Manifest, out.Notes);
    if (platform::FileExists(ManifestName(earlier.ArchiveWithoutManifest)))
      earlier.Manifest = ManifestName(earlier.ArchiveWithoutManifest);
  }
  TManifest& m = out.Manifest;
  m = ManifestHeading(subject.FormatName);
  m.Archive = {*archiveHash, platform::ExtractFileName(archiveName)};
  for (const auto& e : entries) {
    if (e.Sha256)
      m.Members.push_back({*e.Sha256, e.Name});
    else
      m.Unhashed.push_back(e.Name);
  }
  m.Previous = LinkTo(earlier.Manifest);
  // A rebuild of the month says what it replaced.
  RecordReplaced(m, manifestName);
  const std::string why = WriteManifestFile(archiveName, FormatManifest(m));
  if (!why.empty()) {
    out.Notes.push_back(
        platform::FormatText("マニフェスト '%s' を書けませんでした: %s", {manifestName, why}));
    return out;
  }
  out.Name = manifestName;
  return out;
}

bool RecordDeletions(const std::string& archiveName, TRunManifest& manifest,
                     const std::vector<std::string>& deleted) {
  if (manifest.Name.empty() || deleted.empty()) return true;
  const std::string when = ManifestTime(static_cast<long long>(std::time(nullptr)));
  // Full names, whatever folder the run was given.
  for (const auto& log : deleted)
    manifest.Manifest.Deleted.push_back({when, platform::ExpandFileName(log)});
  const std::string why = WriteManifestFile(archiveName, FormatManifest(manifest.Manifest));
  if (why.empty()) return true;
  manifest.Notes.push_back(platform::FormatText(
      "マニフェスト '%s' に削除したログを書き足せませんでした: %s", {manifest.Name, why}));
  return false;
}

}  // namespace pelsok::app
