#include "app/run/ManifestVerify.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>

#include "app/run/FilesOldestFirst.h"
#include "app/run/Manifest.h"
#include "app/run/ManifestFile.h"
#include "app/run/MemberHashes.h"
#include "app/run/Sha256.h"
#include "archive/ArchiveFile.h"
#include "archive/GetArchiverType.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace pelsok::app {
namespace {

namespace fs = std::filesystem;
using platform::FormatText;

const std::string kSuffix = ".sha256";

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() > tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Base(const std::string& path) { return platform::ExtractFileName(path); }

// The file's identity for the chain's loop check.
std::string Identity(const std::string& path) {
  std::error_code ec;
  const fs::path canonical = fs::weakly_canonical(path, ec);
  return ec ? path : canonical.string();
}

class TCheck {
 public:
  explicit TCheck(TVerifyResult& r) : r_(r) {}

  void Add(TVerifyKind kind, const std::string& file, const std::string& message) {
    r_.Findings.push_back({kind, file, message});
  }

  // The archive's own line and its members.
  void Archive(const TManifest& m) {
    const std::string name = Base(r_.Archive);
    if (m.Archive.Name != name)
      Add(TVerifyKind::WrongArchive, Base(r_.Manifest),
          FormatText("マニフェスト '%s' は別の書庫 '%s' のものです。",
                     {Base(r_.Manifest), m.Archive.Name}));
    const std::optional<std::string> hash = FileSha256(r_.Archive);
    if (!hash) {
      Add(TVerifyKind::ArchiveUnread, name, FormatText("書庫 '%s' を最後まで読めません。", {name}));
      return;
    }
    if (*hash != m.Archive.Hash)
      Add(TVerifyKind::ArchiveChanged, name,
          FormatText("書庫 '%s' がマニフェストの記録と違います (書き換えられています)。", {name}));
    Members(m);
  }

  void Members(const TManifest& m) {
    const std::string name = Base(r_.Archive);
    TMemberHashes read;
    try {
      TArchiveFile archive(nullptr);
      TArchiverType type = GetArchiverType(r_.Archive, false);
      if (type == atNone) type = GetArchiverType(r_.Archive, true);
      if (type == atNone)
        throw platform::Exception(
            FormatText("'%s' は書庫ではないか、壊れています。", {r_.Archive}));
      archive.SetFileName(r_.Archive);
      archive.SetArchiverType(type);
      archive.SetOutputSize(1 << 16);
      read = HashMembers(archive);
    } catch (const std::exception& e) {
      Add(TVerifyKind::MembersUnread, name,
          FormatText("書庫 '%s' のメンバーを読めません: %s", {name, e.what()}));
      return;
    }
    if (read.Result != 0 && read.Failed.empty() && read.Hashes.empty()) {
      std::string report = read.Report;
      while (!report.empty() && (report.back() == '\n' || report.back() == '\r')) report.pop_back();
      Add(TVerifyKind::MembersUnread, name,
          FormatText("書庫 '%s' のメンバーを読めません (結果 %s)%s",
                     {name, std::to_string(read.Result), report.empty() ? "" : ": " + report}));
      return;
    }
    std::set<std::string> listed;
    for (const auto& line : m.Members) {
      listed.insert(line.Name);
      if (const auto failed = read.Failed.find(line.Name); failed != read.Failed.end()) {
        Add(TVerifyKind::MemberUnread, line.Name,
            FormatText("メンバー '%s' を正しく取り出せません (結果 %s)。",
                       {line.Name, std::to_string(failed->second)}));
        continue;
      }
      const auto hash = read.Hashes.find(line.Name);
      if (hash == read.Hashes.end()) {
        Add(TVerifyKind::MemberMissing, line.Name,
            FormatText("メンバー '%s' がマニフェストにありますが、書庫にありません。",
                       {line.Name}));
      } else if (hash->second != line.Hash) {
        Add(TVerifyKind::MemberChanged, line.Name,
            FormatText("メンバー '%s' の中身がマニフェストの記録と違います。", {line.Name}));
      } else {
        ++r_.Members;
      }
    }
    for (const auto& unhashed : m.Unhashed) {
      listed.insert(unhashed);
      Add(TVerifyKind::MemberUnhashed, unhashed,
          FormatText("メンバー '%s' は書いたときにハッシュを取れなかったため、比べていません。",
                     {unhashed}));
    }
    std::vector<std::string> extra;
    for (const auto& [member, hash] : read.Hashes)
      if (listed.count(member) == 0) extra.push_back(member);
    for (const auto& [member, result] : read.Failed)
      if (listed.count(member) == 0) extra.push_back(member);
    for (const auto& member : extra)
      Add(TVerifyKind::MemberExtra, member,
          FormatText("メンバー '%s' は書庫にありますが、マニフェストにありません。", {member}));
  }

  // Each previous manifest the chain names, back to the oldest present.
  void Chain(const TManifest& first) {
    std::set<std::string> passed{Identity(r_.Manifest)};
    TManifest current = first;
    std::string currentName = r_.Manifest;
    while (current.Previous) {
      const TManifestLine link = *current.Previous;
      const std::string path = platform::ExtractFilePath(currentName) + link.Name;
      const std::string name = link.Name;
      if (!platform::FileExists(path)) {
        Add(TVerifyKind::ChainPreviousGone, name,
            FormatText(
                "前のマニフェスト '%s' はもうありません。チェーンは '%s' までを確かめました。",
                {name, Base(currentName)}));
        return;
      }
      if (!passed.insert(Identity(path)).second) {
        Add(TVerifyKind::ChainLoop, name,
            FormatText("チェーンが一度通ったマニフェスト '%s' に戻ります。", {name}));
        return;
      }
      ++r_.Links;
      const std::optional<std::string> text = ReadManifestFile(path);
      const std::optional<TParsedManifest> parsed =
          text ? ParseManifest(*text) : std::optional<TParsedManifest>();
      if (!parsed) {
        Add(TVerifyKind::LinkNotManifest, name,
            FormatText("前のマニフェスト '%s' を読めないか、このプログラムのものではありません。",
                       {name}));
        return;
      }
      if (TextSha256(*text) != link.Hash)
        Add(TVerifyKind::LinkBroken, name,
            FormatText("前のマニフェスト '%s' が '%s' の記録と違います (チェーンが切れています)。",
                       {name, Base(currentName)}));
      if (!parsed->Sealed || !parsed->SealMatches)
        Add(TVerifyKind::LinkSealBroken, name,
            FormatText("前のマニフェスト '%s' は書き換えられています (封印が合いません)。",
                       {name}));
      current = parsed->Manifest;
      currentName = path;
    }
    Add(TVerifyKind::ChainStart, Base(currentName),
        FormatText("チェーンは '%s' から始まります。", {Base(currentName)}));
  }

 private:
  TVerifyResult& r_;
};

}  // namespace

bool IsVerifyFailure(TVerifyKind kind) {
  switch (kind) {
    case TVerifyKind::ArchiveRemoved:
    case TVerifyKind::MemberUnhashed:
    case TVerifyKind::ChainStart:
    case TVerifyKind::ChainPreviousGone:
      return false;
    default:
      return true;
  }
}

TVerifyResult VerifyArchive(const std::string& archiveName) {
  TVerifyResult r;
  r.Archive = archiveName;
  if (EndsWith(archiveName, kSuffix)) r.Archive.resize(archiveName.size() - kSuffix.size());
  r.Manifest = ManifestName(r.Archive);
  TCheck check(r);
  const bool haveArchive = platform::FileExists(r.Archive);
  const bool haveManifest = platform::FileExists(r.Manifest);
  if (!haveManifest) {
    if (haveArchive) {
      check.Add(TVerifyKind::NoManifest, Base(r.Manifest),
                FormatText("書庫 '%s' のマニフェスト '%s' がありません。",
                           {Base(r.Archive), Base(r.Manifest)}));
    } else {
      check.Add(TVerifyKind::NoArchive, Base(r.Archive),
                FormatText("書庫 '%s' もそのマニフェストもありません。", {r.Archive}));
    }
    r.Verdict = TVerifyVerdict::NoManifest;
    return r;
  }
  const std::optional<std::string> text = ReadManifestFile(r.Manifest);
  const std::optional<TParsedManifest> parsed =
      text ? ParseManifest(*text) : std::optional<TParsedManifest>();
  if (!parsed) {
    check.Add(TVerifyKind::NotManifest, Base(r.Manifest),
              FormatText("'%s' を読めないか、このプログラムのマニフェストではありません。",
                         {Base(r.Manifest)}));
  } else {
    if (!parsed->Sealed || !parsed->SealMatches)
      check.Add(TVerifyKind::SealBroken, Base(r.Manifest),
                FormatText("マニフェスト '%s' は書き換えられています (封印が合いません)。",
                           {Base(r.Manifest)}));
    if (haveArchive) {
      check.Archive(parsed->Manifest);
    } else {
      check.Add(TVerifyKind::ArchiveRemoved, Base(r.Archive),
                FormatText("書庫 '%s' はありません (保存期間で削除されたもの)。"
                           "書庫の行は確かめず、チェーンだけを確かめました。",
                           {Base(r.Archive)}));
    }
    check.Chain(parsed->Manifest);
  }
  r.Verdict = VerifyFailures(r) > 0 ? TVerifyVerdict::Differs : TVerifyVerdict::Matches;
  return r;
}

std::size_t VerifyFailures(const TVerifyResult& r) {
  return static_cast<std::size_t>(
      std::count_if(r.Findings.begin(), r.Findings.end(),
                    [](const TVerifyFinding& f) { return IsVerifyFailure(f.Kind); }));
}

std::string VerdictWord(TVerifyVerdict verdict) {
  switch (verdict) {
    case TVerifyVerdict::Matches:
      return "一致";
    case TVerifyVerdict::Differs:
      return "不一致";
    case TVerifyVerdict::NoManifest:
      break;
  }
  return "なし";
}

std::string VerifySummary(const TVerifyResult& r) {
  switch (r.Verdict) {
    case TVerifyVerdict::Matches:
      return FormatText("一致: %s (メンバー %s 個、前のマニフェスト %s 個)",
                        {r.Archive, std::to_string(r.Members), std::to_string(r.Links)});
    case TVerifyVerdict::NoManifest:
      return FormatText("マニフェストなし: %s", {r.Archive});
    case TVerifyVerdict::Differs:
      break;
  }
  return FormatText("不一致: %s (%s 件)", {r.Archive, std::to_string(VerifyFailures(r))});
}

std::vector<std::string> VerifyTargets(const std::string& folder) {
  return FilesOldestFirst(folder, [](const std::string& name) {
    if (!EndsWith(name, kSuffix)) return GetArchiverType(name, true) != atNone;
    // A manifest left by an archive retention removed.
    std::error_code ec;
    if (fs::exists(name.substr(0, name.size() - kSuffix.size()), ec)) return false;
    const std::optional<std::string> text = ReadManifestFile(name);
    return text && ParseManifest(*text);
  });
}

}  // namespace pelsok::app
