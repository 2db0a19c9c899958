#include "app/run/DeletionCheck.h"

#include <unistd.h>

#include <cerrno>
#include <map>

#include "app/run/ExtractionCheck.h"
#include "app/run/Sha256.h"
#include "archivecore/EArchiver.h"
#include "backends/BackendRows.h"

namespace pelsok::app {
namespace {

const char* const kNoMemory = "メモリが足りないため、書庫を検査できませんでした。";
const char* const kNoPermission = "書庫を読む権限がないため、検査できませんでした。";
const char* const kNoRoom =
    "確認用に取り出す場所がない (空き容量か権限が足りない) ため、書庫を検査できませんでした。";

TMemberCheck CheckOf(const TArchiveFile& archive) {
  const TBackendRow* row = archive.FormatRow();
  return row != nullptr ? row->Check : TMemberCheck::LibraryTest;
}

TDeletionCheck NotRun(std::int32_t result, const std::string& why, const std::string& report) {
  TDeletionCheck check{result, why, false};
  if (!report.empty()) check.Report += "\n" + report;
  check.CouldNotRun = true;
  return check;
}

TDeletionCheck ByExtraction(const TExtractionCheck& check) {
  if (check.Result == arc::kCannotWrite || check.Result == arc::kNoMemory)
    return NotRun(check.Result, check.Result == arc::kNoMemory ? kNoMemory : kNoRoom, check.Report);
  return TDeletionCheck{check.Result, check.Report, true};
}

// The check of a library without the read entry: its test command, or an
// extraction where the format has none.
TDeletionCheck ByOlderLibrary(TArchiveFile& archive, std::vector<TListedEntry>* entries,
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

}  // namespace

std::optional<TMemberSum> ListedSum(const TArchiveFile& archive, const TArchiveEntryInfo& info) {
  if (CheckOf(archive) != TMemberCheck::ListingCrc16) return std::nullopt;
  return TMemberSum{TSumKind::Crc16, info.Crc & 0xFFFFu};
}

TDeletionCheck CheckBeforeDeletion(TArchiveFile& archive, std::vector<TListedEntry>* entries,
                                   ArcWnd wnd) {
  if (::access(archive.FileName().c_str(), R_OK) != 0 && (errno == EACCES || errno == EPERM))
    return NotRun(arc::kCannotRead, kNoPermission, {});
  // Nothing is extracted any more; what an older run left goes.
  if (entries != nullptr) RemoveStaleCheckFolders(archive.FileName());
  // Each sound member's size, CRC-32 and SHA-256, as it decoded, in the one
  // pass: nothing is written.
  std::map<std::string, TFileSum> sums;
  std::map<std::string, std::string> hashes;
  std::optional<TRunningSum> current;
  TSha256 hash;
  std::int32_t rc = 0;
  try {
    rc = archive.ReadMembers("",
                             [&](const std::string& name, const char* chunk, std::uint32_t length,
                                 std::int32_t result) -> std::int32_t {
                               if (entries == nullptr) return 0;
                               if (!current) current.emplace(TSumKind::Crc32);
                               if (chunk != nullptr) {
                                 current->Add(chunk, length);
                                 hash.Add(chunk, length);
                                 return 0;
                               }
                               if (result == arc::kOk) {
                                 sums[name] = current->Sum();
                                 hashes[name] = hash.HexDigest();
                               } else {
                                 hash.HexDigest();  // starts again for the next member
                               }
                               current.reset();
                               return 0;
                             });
  } catch (const EArchiver&) {
    return ByOlderLibrary(archive, entries, wnd);
  }
  const std::string report = archive.Output().c_str();
  if (rc == arc::kNoMemory) return NotRun(rc, kNoMemory, report);
  if (entries != nullptr) {
    for (auto& e : *entries) {
      e.Sum.reset();
      e.Sha256.reset();
      const auto it = sums.find(e.Name);
      if (rc == 0 && it != sums.end() && it->second.Size == e.OriginalSize) {
        e.Sum = it->second.Sum;
        e.Sha256 = hashes[e.Name];
      }
    }
  }
  return TDeletionCheck{rc, report, false};
}

}  // namespace pelsok::app
