#include "app/run/CompressRun.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <set>

#include "app/run/ArchiveBackup.h"
#include "app/run/DeletionCheck.h"
#include "app/run/InterruptedRun.h"
#include "app/run/MonthMerge.h"
#include "app/run/RunNames.h"
#include "archive/ArchiveFile.h"
#include "platform/Exceptions.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
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

enum class TCheck { Whole, Damaged, Cancelled };

// Whether every member of the new archive comes back whole, the way its
// format is checked before its logs go.
TCheck CheckNewArchive(TArchiveFile& archive, TRunResult& result, ArcWnd wnd) {
  try {
    const TDeletionCheck check = CheckBeforeDeletion(archive, &result.Entries, wnd);
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

  // One run at a time per archive, the window's and the command line's alike.
  platform::TFileLock lock(archiveName);
  if (!lock.Held()) {
    if (lock.HeldByAnother())
      throw platform::Exception(platform::FormatText(
          "書庫 '%s' は別の実行が作成中です。終わってからやり直してください。", {archiveName}));
    throw platform::EFileError(platform::FormatText("ロックファイル '%s' を作成できません: %s",
                                                    {lock.LockName(), lock.Error()}));
  }
  result.Notes = RecoverInterruptedRun(archiveName);

  TArchiveBackup backup(archiveName);
  // A month packed again keeps the old archive's members whose logs are gone.
  std::optional<TMonthMerge> merge;
  if (backup.HasOldArchive())
    merge.emplace(archiveName, backup.AsideName(), in.Format.Type, mask, wnd_);
  platform::TStringList list;
  list.Add(mask);

  {
    TArchiveFile archive(nullptr);
    archive.SetFileName(archiveName);
    archive.SetArchiverType(in.Format.Type);
    archive.Options().x = 1;
    archive.SetOutputSize(8192);
    result.PackResult = archive.Pack(wnd_, "", &list);
    result.PackReport = archive.Output().c_str();
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
      if (!oldHasMore && merge && merge->Merging() &&
          CheckNewArchive(archive, result, wnd_) != TCheck::Whole)
        oldHasMore = true;
      if (oldHasMore) {
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

    // Asked only when there is a new archive whose files could go.
    if (in.DeleteAfter && confirm && madeNew) {
      const bool yes = confirm();
      result.Confirmed = yes;
      const TCheck check = yes ? CheckNewArchive(archive, result, wnd_) : TCheck::Whole;
      if (check == TCheck::Cancelled) {
        result.DeletionCancelled = true;
        result.Grade = Worse(result.Grade, TRunGrade::Warning);
      } else if (check == TCheck::Damaged) {
        // Every member must come back whole before any log goes.
        for (const auto& e : result.Entries)
          result.Deletion.Kept.push_back(e.Name + " (書庫の検査で誤りが見つかりました)");
        result.Grade = Worse(result.Grade, TRunGrade::Failed);
      } else if (yes) {
        // A log goes only when its checksum can be compared with the archive's.
        std::vector<TListedEntry> checked;
        for (const auto& e : result.Entries) {
          if (e.Sum)
            checked.push_back(e);
          else
            result.Deletion.Kept.push_back(e.Name + " (書庫から取り出して確かめられません)");
        }
        TDeletionResult deletion = DeletePackedFiles(mask, checked);
        result.Deletion.Deleted = std::move(deletion.Deleted);
        result.Deletion.Kept.insert(result.Deletion.Kept.end(), deletion.Kept.begin(),
                                    deletion.Kept.end());
        for (const auto& d : result.Deletion.Deleted) state_.ListBox2.push_back(d);
        if (!result.Deletion.Kept.empty()) result.Grade = Worse(result.Grade, TRunGrade::Warning);
      }
    }
  }
  for (const auto& kept : KeptOldArchives(archiveName))
    if (kept != result.OldArchiveKeptAs)
      result.Notes.push_back(platform::FormatText("以前の書庫 '%s' が残っています", {kept}));
  state_.Edit2 = mask;
  return result;
}

}  // namespace pelsok::app
