#include "app/run/CompressRun.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>
#include <set>

#include <cerrno>

#include "app/run/ArchiveBackup.h"
#include "app/run/ArchiveMode.h"
#include "app/run/DeletionCheck.h"
#include "app/run/InterruptedRun.h"
#include "app/run/MonthLogs.h"
#include "app/run/MonthMerge.h"
#include "app/run/RunManifest.h"
#include "app/run/RunNames.h"
#include "app/run/RunStep.h"
#include "app/run/ShiftJisOption.h"
#include "app/text/IntegerText.h"
#include "archive/ArchiveFile.h"
#include "platform/DiskSpace.h"
#include "platform/Exceptions.h"
#include "platform/FileLock.h"
#include "platform/FileMode.h"
#include "platform/FileSync.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/StringList.h"

namespace pelsok::app {

std::string TCompressRun::ResultText(std::int32_t result) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(result));
  return buf;
}

namespace {

// Entry names of an archive, whatever its file name says; nullopt when it
// cannot be listed (damaged, or of no format we know).
std::optional<std::set<std::string>> EntryNames(const std::string& archiveName, ArcWnd wnd) {
  try {
    std::set<std::string> names;
    TArchiveFile archive(nullptr);
    archive.SetFileName(archiveName);
    if (archive.OpenArchive(wnd, 0) == 0) return std::nullopt;
    TArchiveEntryInfo info{};
    for (int rc = archive.FindFirst("*.*", info); rc == 0; rc = archive.FindNext(info))
      names.emplace(info.FileName, strnlen(info.FileName, sizeof info.FileName));
    archive.CloseArchive();
    return names;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// The run lock's name: the mask's folder and stem ("/logs/DR07" for
// "/logs/DR07*.log"), so that every format and year packing these logs
// takes the same lock.
std::string RunLockName(const std::string& mask) { return mask.substr(0, mask.find('*')); }

// The folder the archive is written in, with its trailing delimiter.
std::string ArchiveFolder(const std::string& archiveName) {
  const std::string folder = platform::ExtractFilePath(archiveName);
  return folder.empty() ? platform::IncludeTrailingPathDelimiter(platform::GetCurrentDir())
                        : folder;
}

// ".DR9807.ZIP.tmp-run.ZIP": hidden, in the temporary names' family that
// recovery removes, and ending with the format's extension.
std::string PackingName(const std::string& archiveName) {
  const std::string file = platform::ExtractFileName(archiveName);
  return platform::ExtractFilePath(archiveName) + "." + file + ".tmp-run" +
         platform::ExtractFileExt(file);
}

// What is left on the disk of the archive's folder when a write failed for
// want of room: the library said so, or less is left than the logs take.
std::optional<std::uint64_t> DiskFullFree(const std::string& archiveName, const std::string& report,
                                          std::uint64_t logBytes) {
  const auto free = platform::FreeSpace(ArchiveFolder(archiveName));
  if (report.find(platform::DiskFullReason()) != std::string::npos) return free.value_or(0);
  if (free && *free < logBytes) return free;
  return std::nullopt;
}

// Why the run lock could not be taken, as the user can act on it.
std::string LockFailureText(const platform::TFileLock& lock, const std::string& archiveName) {
  const std::string folder = ArchiveFolder(archiveName);
  switch (lock.ErrorNumber()) {
    case ENOENT:
    case ENOTDIR:
      return platform::FormatText("フォルダ '%s' がありません。", {folder});
    case EACCES:
    case EPERM:
    case EROFS:
      return platform::FormatText("フォルダ '%s' に書き込めません (書き込みが許されていません)。",
                                  {folder});
    default:
      return platform::FormatText("フォルダ '%s' に書庫を作れません: %s", {folder, lock.Error()});
  }
}

enum class TCheck { Whole, Damaged, Cancelled, NotRun };

// Whether every member of the new archive comes back whole, the way its
// format is checked before its logs go.
TCheck CheckNewArchive(TArchiveFile& archive, TRunResult& result, ArcWnd wnd) {
  try {
    const TDeletionCheck check = CheckBeforeDeletion(archive, &result.Entries, wnd);
    if (check.CouldNotRun) {
      result.Notes.push_back(check.Report);
      return TCheck::NotRun;
    }
    if (check.ByExtraction && check.Result != 0 && check.Result != arc::kCancelled &&
        !check.Report.empty())
      result.Notes.push_back(check.Report);
    if (check.Result == arc::kCancelled) return TCheck::Cancelled;
    return check.Result == 0 ? TCheck::Whole : TCheck::Damaged;
  } catch (const std::exception& e) {
    result.Notes.push_back(e.what());
    return TCheck::Damaged;
  }
}

}  // namespace

std::string TCompressRun::OldArchiveKeptMessage(const TRunResult& result) {
  return platform::FormatText(
      "以前の書庫には今回の書庫にないファイルが含まれているため、'%s' として残しました。",
      {result.OldArchiveKeptAs});
}

TRunResult TCompressRun::Run(const TRunInput& in, const ConfirmFn& confirm) {
  TRunResult result;
  // The month is converted before any file is touched.
  result.Names = RunLogNames(in);
  const std::string& mask = result.Names.Mask;
  const std::string& archiveName = result.Names.ArchiveName;
  state_.ListBox1.clear();

  // One run at a time per month and kind, the window's and the command
  // line's alike, whatever the format: every archive of the month packs
  // (and may delete) the same logs.
  platform::TFileLock lock(RunLockName(mask));
  if (!lock.Held()) {
    if (lock.HeldByAnother())
      throw platform::Exception(platform::FormatText(
          "書庫 '%s' は別の実行が作成中です。終わってからやり直してください。", {archiveName}));
    throw platform::EFileError(LockFailureText(lock, archiveName));
  }
  result.Notes = RecoverInterruptedRun(archiveName);

  TArchiveBackup backup(archiveName);
  // A month packed again keeps the old archive's members whose logs are gone.
  std::optional<TMonthMerge> merge;
  if (backup.HasOldArchive())
    merge.emplace(archiveName, backup.AsideName(), in.Format.Type, mask, wnd_);
  // The logs as the run packs them, members put back included.
  const TMonthLogs logs = FindMonthLogs(mask);
  const TArchiveMode mode(logs.CommonMode, backup.AsideName());
  platform::TStringList list;
  // A log the run cannot read stays out (and stays where it is); the
  // others are packed by name.
  if (logs.Unreadable.empty() || logs.Readable.empty())
    list.Add(mask);
  else
    for (const auto& log : logs.Readable) list.Add(log);
  for (const auto& log : logs.Unreadable)
    result.Notes.push_back(
        platform::FormatText("ログ '%s' は読めないため書庫に入れず、そのまま残しました。", {log}));
  std::uint32_t creationMask = 022;
  // The library writes to a name of the run's own, which recovery knows
  // with every temporary file a library makes beside it, and the run puts
  // the archive under its name once it is whole.
  const std::string packName = PackingName(archiveName);
  platform::DeleteFile(packName);

  {
    TArchiveFile archive(nullptr);
    archive.SetFileName(packName);
    archive.SetArchiverType(in.Format.Type);
    archive.Options().x = 1;
    if (in.ShiftJisNames) StoreShiftJisNames(archive.Options(), in.Format.Type);
    archive.SetOutputSize(8192);
    {
      // Not even for a moment is the new archive more open than it ends.
      const platform::TScopedCreationMask bound(mode.CreationBound());
      creationMask = bound.Previous();
      result.PackResult = archive.Pack(wnd_, "", &list);
    }
    result.PackReport = archive.Output().c_str();
    if (platform::FileExists(packName) && !platform::RenameFile(packName, archiveName))
      platform::DeleteFile(packName);
    archive.SetFileName(archiveName);
    archive.SetArchiverType(in.Format.Type);
    // Under the lock, whatever stands under the name now is this run's.
    backup.MarkWritten();
    state_.Edit2 = ResultText(result.PackResult);

    const std::int32_t handle = archive.OpenArchive(wnd_, 0);
    TArchiveEntryInfo info{};
    if (archive.FindFirst("*.*", info) == 0) {
      do {
        const std::string name(info.FileName, strnlen(info.FileName, sizeof info.FileName));
        result.Entries.emplace_back(name, archive.OriginalSize64().value_or(info.OriginalSize),
                                    ListedSum(archive, info));
        state_.ListBox1.push_back(name);
        info = TArchiveEntryInfo{};
      } while (archive.FindNext(info) == 0);
    }
    archive.CloseArchive();

    // Only an archive that was made without error and lists replaces the old one.
    const bool madeNew = handle != 0 && GradeOfResult(result.PackResult) != TRunGrade::Failed &&
                         platform::FileExists(archiveName);
    if (!madeNew && result.PackResult == arc::kCannotWrite)
      result.DiskFullFree = DiskFullFree(archiveName, result.PackReport, logs.ReadableBytes);
    // The new archive and its name reach the disk before the old archive
    // or any log goes, whichever format wrote it.
    bool durable = false;
    // The last check of the new archive this run made, if any.
    std::optional<TCheck> checked;
    if (madeNew) {
      mode.Apply(archiveName, creationMask);
      ReachRunStep(TRunStep::ArchiveWritten, archiveName);
      const std::string why = platform::SyncFileAndFolder(archiveName);
      durable = why.empty();
      if (durable)
        ReachRunStep(TRunStep::ArchiveSynced, archiveName);
      else
        result.Notes.push_back(platform::FormatText(
            "書庫 '%s' をディスクに書き込めたか確かめられません (%s)。ログは削除しません。",
            {archiveName, why}));
    }
    if (madeNew) {
      // Files only the old archive holds would be lost with it: keep it then.
      bool oldHasMore = false;
      if (backup.HasOldArchive()) {
        std::set<std::string> fresh;
        for (const auto& e : result.Entries) fresh.insert(e.Name);
        const auto old = EntryNames(backup.AsideName(), wnd_);
        if (!old) {
          // Unreadable: whatever it holds stays as it is, beside the new one.
          oldHasMore = true;
          result.Notes.push_back(platform::FormatText(
              "以前の書庫は壊れているため読めません。'%s' としてそのまま残しました。",
              {backup.AsideName()}));
        } else {
          for (const auto& name : *old)
            if (fresh.count(name) == 0) oldHasMore = true;
        }
      }
      // It replaces the old archive only once it gives every member back whole.
      if (!oldHasMore && merge && merge->Merging()) {
        checked = CheckNewArchive(archive, result, wnd_);
        if (*checked != TCheck::Whole) oldHasMore = true;
      }
      if (oldHasMore || !durable) {
        backup.Keep();
        result.OldArchiveKeptAs = backup.AsideName();
      } else {
        backup.Commit();
      }
      result.NewArchiveKept = true;
    } else if (backup.HasOldArchive()) {
      backup.Restore();
      result.OldArchiveRestored = true;
      // The entries listed came from an archive that is gone again.
      result.Entries.clear();
      state_.ListBox1.clear();
    }
    result.Grade = GradeOfResult(result.PackResult);
    if (!result.OldArchiveKeptAs.empty()) result.Grade = Worse(result.Grade, TRunGrade::Warning);
    if (result.PackResult == 0 && !madeNew) result.Grade = TRunGrade::Failed;
    if (madeNew && (!durable || !logs.Unreadable.empty()))
      result.Grade = Worse(result.Grade, TRunGrade::Warning);

    // Asked only when there is a new archive whose files could go.
    std::vector<TListedEntry> deletable;
    if (in.DeleteAfter && confirm && madeNew && durable) {
      const bool yes = confirm();
      result.Confirmed = yes;
      const TCheck check = yes ? CheckNewArchive(archive, result, wnd_) : TCheck::Whole;
      if (yes) checked = check;
      if (check == TCheck::Cancelled) {
        result.DeletionCancelled = true;
        result.Grade = Worse(result.Grade, TRunGrade::Warning);
      } else if (check == TCheck::Damaged) {
        // Every member must come back whole before any log goes.
        for (const auto& e : result.Entries)
          result.Deletion.Kept.push_back(e.Name + " (書庫の検査で誤りが見つかりました)");
        result.Grade = Worse(result.Grade, TRunGrade::Failed);
      } else if (check == TCheck::NotRun) {
        // Nothing is known about the members: every log stays, and the
        // archive is not called damaged.
        for (const auto& e : result.Entries)
          result.Deletion.Kept.push_back(e.Name + " (書庫を検査できませんでした)");
        result.Grade = Worse(result.Grade, TRunGrade::Warning);
      } else if (yes) {
        // A log goes only when its checksum can be compared with the archive's.
        for (const auto& e : result.Entries) {
          if (e.Sum)
            deletable.push_back(e);
          else
            result.Deletion.Kept.push_back(e.Name + " (書庫から取り出して確かめられません)");
        }
      }
    }
    // The manifest is in place before any log goes, from the check already
    // made when there was one.
    TRunManifest manifest;
    if (in.WriteManifest && madeNew && durable) {
      if (!checked) checked = CheckNewArchive(archive, result, wnd_);
      if (*checked == TCheck::Whole) {
        manifest = WriteRunManifest(
            {archiveName, in.Kind, in.Year, StrToInt(in.Month), in.Format.Name}, result.Entries);
        result.Manifest = manifest.Name;
        if (!manifest.Name.empty()) ReachRunStep(TRunStep::ManifestWritten, manifest.Name);
      } else {
        manifest.Notes.push_back(platform::FormatText(
            *checked == TCheck::Damaged
                ? "書庫 '%s' の検査で誤りが見つかったため、マニフェストを書きませんでした。"
                : "書庫 '%s' を検査し終えられなかったため、マニフェストを書きませんでした。",
            {archiveName}));
      }
      if (manifest.Name.empty()) result.Grade = Worse(result.Grade, TRunGrade::Warning);
    }
    if (!deletable.empty()) {
      TDeletionResult deletion = DeletePackedFiles(mask, deletable);
      result.Deletion.Deleted = std::move(deletion.Deleted);
      result.Deletion.Kept.insert(result.Deletion.Kept.end(), deletion.Kept.begin(),
                                  deletion.Kept.end());
      for (const auto& d : result.Deletion.Deleted) state_.ListBox2.push_back(d);
      if (!result.Deletion.Kept.empty()) result.Grade = Worse(result.Grade, TRunGrade::Warning);
      if (!RecordDeletions(archiveName, manifest, result.Deletion.Deleted))
        result.Grade = Worse(result.Grade, TRunGrade::Warning);
    }
    result.Notes.insert(result.Notes.end(), manifest.Notes.begin(), manifest.Notes.end());
  }
  for (const auto& kept : KeptOldArchives(archiveName))
    if (kept != result.OldArchiveKeptAs)
      result.Notes.push_back(platform::FormatText("以前の書庫 '%s' が残っています", {kept}));
  state_.Edit2 = mask;
  return result;
}

}  // namespace pelsok::app
