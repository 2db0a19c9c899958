#include "app/run/MemberTest.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "app/run/DeletionCheck.h"
#include "app/run/MemberExtraction.h"
#include "archive/ArchiveFile.h"
#include "platform/Paths.h"

namespace pelsok::app {
namespace {

namespace fs = std::filesystem;

// Extracts one member into a fresh folder that goes afterwards; true when
// the library reports no error and the member's file came out at its size.
bool MemberComesBack(const TListingEntry& entry, const std::string& archiveName, ArcWnd wnd,
                     bool& cancelled) {
  std::error_code ec;
  std::string folder = (fs::temp_directory_path(ec) / "pelsok-test-XXXXXX").string();
  if (ec || ::mkdtemp(folder.data()) == nullptr) return false;
  TArchiveFile archive(nullptr);
  BindByContent(archive, archiveName);
  archive.SetOutputSize(4096);
  platform::TStringList list;
  list.Add(entry.Name);
  const std::int32_t rc =
      archive.Unpack(wnd, platform::IncludeTrailingPathDelimiter(folder), &list);
  cancelled = rc == arc::kCancelled;
  const std::string file =
      ExtractedPath(platform::IncludeTrailingPathDelimiter(folder), entry.Name, true);
  struct stat st {};
  const bool whole = rc == 0 && ::lstat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                     static_cast<std::uint64_t>(st.st_size) == entry.Size;
  fs::remove_all(folder, ec);
  return whole;
}

}  // namespace

std::size_t TTestOutcome::Damaged() const {
  std::size_t n = 0;
  for (const auto& m : Members) n += m.Sound ? 0 : 1;
  return n;
}

TTestOutcome TestMembers(const TArchiveListing& listing, ArcWnd wnd) {
  TTestOutcome out;
  {
    TArchiveFile archive(nullptr);
    BindByContent(archive, listing.ArchiveName);
    archive.SetOutputSize(1 << 16);
    const TDeletionCheck check = CheckBeforeDeletion(archive, nullptr, wnd);
    out.Result = check.Result;
    out.Report = check.Report;
  }
  out.Cancelled = out.Result == arc::kCancelled;
  if (out.Result == 0 || out.Cancelled) return out;
  for (const auto& e : listing.Entries) {
    if (e.Folder) continue;
    bool cancelled = false;
    const bool sound =
        !UnsafeStoredName(e.Name) && MemberComesBack(e, listing.ArchiveName, wnd, cancelled);
    if (cancelled) {
      out.Cancelled = true;
      break;
    }
    out.Members.push_back({e.Name, sound});
  }
  return out;
}

std::string TestSummary(const TArchiveListing& listing, const TTestOutcome& outcome) {
  const std::string archive = platform::ExtractFileName(listing.ArchiveName);
  if (outcome.Cancelled) return archive + ": テストを中止しました。";
  if (outcome.Result == 0)
    return archive + ": " + std::to_string(listing.Files()) + " ファイルとも正常です。";
  std::string text = archive + ": 壊れているファイルがあります (" +
                     std::to_string(outcome.Damaged()) + " / " +
                     std::to_string(outcome.Members.size()) + " ファイル)。";
  for (const auto& m : outcome.Members)
    if (!m.Sound) text += "\n  NG  " + m.Name;
  if (outcome.Damaged() == 0) text += "\n各ファイルは取り出せますが、書庫の作りに誤りがあります。";
  return text;
}

}  // namespace pelsok::app
