#include "app/run/DeletionCheck.h"

#include "app/run/ExtractionCheck.h"
#include "backends/BackendRows.h"

namespace pelsok::app {
namespace {

TMemberCheck CheckOf(const TArchiveFile& archive) {
  const TBackendRow* row = archive.FormatRow();
  return row != nullptr ? row->Check : TMemberCheck::LibraryTest;
}

TDeletionCheck ByExtraction(const TExtractionCheck& check) {
  return TDeletionCheck{check.Result, check.Report, true};
}

}  // namespace

std::optional<TMemberSum> ListedSum(const TArchiveFile& archive, const TArchiveEntryInfo& info) {
  if (CheckOf(archive) != TMemberCheck::ListingCrc16) return std::nullopt;
  return TMemberSum{TSumKind::Crc16, info.Crc & 0xFFFFu};
}

TDeletionCheck CheckBeforeDeletion(TArchiveFile& archive, std::vector<TListedEntry>* entries,
                                   ArcWnd wnd) {
  const TMemberCheck how = CheckOf(archive);
  const bool libraryTest =
      how == TMemberCheck::ListingCrc16 || (how == TMemberCheck::LibraryTest && entries == nullptr);
  if (libraryTest) {
    const std::int32_t rc = archive.Test(wnd);
    return TDeletionCheck{rc, archive.Output().c_str(), false};
  }
  if (entries == nullptr)
    return ByExtraction(TestByExtraction(archive.FileName(), archive.ArchiverType(), wnd));
  return ByExtraction(SumsByExtraction(archive.FileName(), archive.ArchiverType(), *entries, wnd));
}

}  // namespace pelsok::app
