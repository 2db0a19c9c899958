#include "app/core/CompressRun.h"

#include <cstdio>
#include <cstring>

#include "app/core/ArchiveBackup.h"
#include "archive/ArchiveFile.h"
#include "platform/FileSystem.h"
#include "platform/StringList.h"

namespace pelsok::app {

std::string TCompressRun::ResultText(std::int32_t result) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(result));
  return buf;
}

TRunResult TCompressRun::Run(const TRunInput& in, const ConfirmFn& confirm) {
  TRunResult result;
  // The month is converted before any file is touched.
  result.Names = MakeLogNames(in.Folder, in.Kind, in.Year, in.Month, in.SixDigit);
  const std::string& mask = result.Names.Mask;
  const std::string& archiveName = result.Names.ArchiveName;
  state_.ListBox1.clear();

  TArchiveBackup backup(archiveName);
  platform::TStringList list;
  list.Add(mask);

  {
    TArchiveFile archive(nullptr);
    archive.SetFileName(archiveName);
    archive.Options().x = 1;
    archive.SetOutputSize(8192);
    result.PackResult = archive.Pack(wnd_, "", &list);
    state_.Edit2 = ResultText(result.PackResult);

    const std::int32_t handle = archive.OpenArchive(wnd_, 0);
    TArchiveEntryInfo info{};
    if (archive.FindFirst("*.*", info) == 0) {
      do {
        const std::string name(info.FileName, strnlen(info.FileName, sizeof info.FileName));
        result.Entries.push_back({name, info.OriginalSize});
        state_.ListBox1.push_back(name);
        info = TArchiveEntryInfo{};
      } while (archive.FindNext(info) == 0);
    }
    archive.CloseArchive();

    // Only an archive that was made without error and lists replaces the old one.
    const bool madeNew = handle != 0 && GradeOfResult(result.PackResult) != TRunGrade::Failed &&
                         platform::FileExists(archiveName);
    if (madeNew) {
      backup.Commit();
      result.NewArchiveKept = true;
    } else if (backup.HasOldArchive()) {
      backup.Restore();
      result.OldArchiveRestored = true;
      // The entries listed came from an archive that is gone again.
      result.Entries.clear();
      state_.ListBox1.clear();
    }
    result.Grade = GradeOfResult(result.PackResult);
    if (result.PackResult == 0 && !madeNew) result.Grade = TRunGrade::Failed;

    // Asked only when there is a new archive whose files could go.
    if (in.DeleteAfter && confirm && madeNew) {
      const bool yes = confirm();
      result.Confirmed = yes;
      if (yes) {
        result.Deletion = DeletePackedFiles(mask, result.Entries);
        for (const auto& d : result.Deletion.Deleted) state_.ListBox2.push_back(d);
        if (!result.Deletion.Kept.empty()) result.Grade = Worse(result.Grade, TRunGrade::Warning);
      }
    }
  }
  state_.Edit2 = mask;
  return result;
}

}  // namespace pelsok::app
