// "Zip" -d: deletes the entries the operands select. The archive is written
// anew through a temporary file; when no entry is left the archive file is
// removed.
#include <cstdio>

#include "CentralDirectory.h"
#include "Commands.h"
#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"
#include "common/Failure.h"
#include "common/Messages.h"
#include "common/Progress.h"
#include "common/SafeText.h"

namespace zipcore {
namespace {

int OnCancel(zip_t*, void* user) { return static_cast<arc::Progress*>(user)->Cancelled(); }

}  // namespace

std::int32_t RunRemove(const ZipOptions& o, arc::Report& report) {
  OpenedZip opened = OpenZip(o.archive, 0);
  zip_t* z = opened.zip.get();
  arc::Progress progress;
  std::size_t deleted = 0;
  for (const auto& e : opened.entries) {
    if (!arc::MatchesAnyMask(e.name, o.files)) continue;
    if (!progress.StartFile(e.name)) break;
    if (zip_delete(z, e.index) != 0)
      throw arc::Failure(arc::kCannotWrite,
                         "書庫のファイルを削除できません" + arc::msg::Because(zip_strerror(z)));
    ++deleted;
    if (!o.quiet) report.Line(arc::msg::Line(arc::msg::Verdict::deleted, arc::SafeText(e.name)));
  }
  if (progress.Cancelled()) {
    report.Line(arc::msg::Cancelled(arc::msg::ArchiveUnchanged()));
    return arc::kCancelled;
  }
  if (deleted == 0) {
    report.Line(arc::msg::NoMemberMatched() + "。" + arc::msg::ArchiveUnchanged());
    return arc::kNothingMatched;
  }
  zip_register_cancel_callback_with_state(z, OnCancel, nullptr, &progress);
  if (zip_close(z) != 0) {
    report.Line(arc::msg::CannotWrite("書庫", arc::SafeText(zip_strerror(z))) + "。" +
                arc::msg::ArchiveUnchanged());
    return progress.Cancelled() ? arc::kCancelled : arc::kCannotWrite;
  }
  opened.zip.release();  // zip_close freed it
  report.Line(arc::msg::DeleteSummary(deleted, opened.entries.size() - deleted));
  return arc::kOk;
}

}  // namespace zipcore
