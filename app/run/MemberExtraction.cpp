#include "app/run/MemberExtraction.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "archive/ArchiveFile.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"
#include "platform/StoredName.h"

namespace pelsok::app {
namespace {

// What stood under a name before the library ran.
struct TFileStamp {
  bool Exists = false;
  ino_t Inode = 0;
  timespec Modified{};
};

TFileStamp StampOf(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  return {true, st.st_ino, st.st_mtim};
}

bool Changed(const TFileStamp& before, const TFileStamp& after) {
  return after.Exists && (!before.Exists || before.Inode != after.Inode ||
                          before.Modified.tv_sec != after.Modified.tv_sec ||
                          before.Modified.tv_nsec != after.Modified.tv_nsec);
}

// The library's result for one member extracted alone into a throw-away folder.
std::int32_t ResultAlone(const std::string& archiveName, const std::string& name, ArcWnd wnd) {
  std::error_code ec;
  std::string folder =
      (std::filesystem::temp_directory_path(ec) / "pelsok-refused-XXXXXX").string();
  if (ec || ::mkdtemp(folder.data()) == nullptr) return 0;
  TArchiveFile archive(nullptr);
  BindByContent(archive, archiveName);
  platform::TStringList list;
  list.Add(name);
  const std::int32_t rc =
      archive.Unpack(wnd, platform::IncludeTrailingPathDelimiter(folder), &list);
  std::filesystem::remove_all(folder, ec);
  return rc;
}

}  // namespace

bool UnsafeStoredName(const std::string& name) {
  if (name.empty()) return false;
  if (name.front() == '/' || name.front() == '\\') return true;
  if (name.size() >= 2 && name[1] == ':') return true;
  std::size_t start = 0;
  while (start <= name.size()) {
    const std::size_t end = name.find_first_of("/\\", start);
    const std::string part =
        name.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (part == "..") return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

std::string ExtractedPath(const std::string& folder, const std::string& name, bool withFolders) {
  return folder + platform::StoredName(name, withFolders);
}

std::string FolderProblem(const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder)) {
    return platform::FormatText("フォルダ '%s' を作れません: %s",
                                {folder, ec ? ec.message() : std::string("ファイルがあります")});
  }
  // Written to, not only asked: the permission bits do not tell everything
  // (a read-only mount, a full disk, root's rights).
  std::string probe = platform::IncludeTrailingPathDelimiter(folder) + ".pelsok-probe-XXXXXX";
  const int fd = ::mkstemp(probe.data());
  if (fd < 0)
    return platform::FormatText("フォルダ '%s' に書き込めません: %s",
                                {folder, std::strerror(errno)});
  ::close(fd);
  ::unlink(probe.c_str());
  return {};
}

TExtractOutcome ExtractMembers(const TArchiveListing& listing, const TExtractRequest& request,
                               ArcWnd wnd) {
  if (const std::string problem = FolderProblem(request.Folder); !problem.empty())
    throw platform::EFileError(problem);
  const std::string folder = platform::IncludeTrailingPathDelimiter(request.Folder);

  std::vector<std::string> wanted = request.Names;
  if (wanted.empty())
    for (const auto& e : listing.Entries)
      if (!e.Folder) wanted.push_back(e.Name);
  std::map<std::string, TFileStamp> before;
  for (const auto& name : wanted)
    if (!UnsafeStoredName(name))
      before.emplace(name, StampOf(ExtractedPath(folder, name, request.WithFolders)));

  TArchiveFile archive(nullptr);
  BindByContent(archive, listing.ArchiveName);
  archive.SetOutputSize(1 << 16);
  archive.Options().x = request.WithFolders ? 1 : 0;
  platform::TStringList list;
  for (const auto& name : request.Names) list.Add(name);
  TExtractOutcome out;
  out.Result = archive.Unpack(wnd, folder, request.Names.empty() ? nullptr : &list);
  out.Report = archive.Output().c_str();
  out.Cancelled = out.Result == arc::kCancelled;

  std::set<std::string> written;
  for (const auto& name : wanted) {
    if (UnsafeStoredName(name)) {
      out.Refused.push_back(name);
      continue;
    }
    const std::string path = ExtractedPath(folder, name, request.WithFolders);
    // Without folders two names may land on one file: it counts once.
    if (Changed(before[name], StampOf(path)) && written.insert(path).second)
      out.Extracted.push_back(name);
    else
      out.NotExtracted.push_back(name);
  }
  // Some libraries list an unsafe name already made harmless ("../a" as
  // "a"): the library refused something, and each name that did not come
  // out is tried alone to tell which.
  if (out.Result == arc::kUnsafeName) {
    std::vector<std::string> other;
    for (const auto& name : out.NotExtracted)
      (ResultAlone(listing.ArchiveName, name, wnd) == arc::kUnsafeName ? out.Refused : other)
          .push_back(name);
    out.NotExtracted = std::move(other);
  }
  return out;
}

std::string ExtractSummary(const TExtractOutcome& outcome, const std::string& folder) {
  std::string text;
  if (outcome.Cancelled) text = "展開を中止しました。";
  text += platform::FormatText("%s ファイルを %s に展開しました。",
                               {std::to_string(outcome.Extracted.size()), folder});
  if (!outcome.Refused.empty()) {
    text += "\n安全のため展開しなかった名前 (フォルダの外を指します):";
    for (const auto& n : outcome.Refused) text += "\n  " + n;
  }
  if (!outcome.NotExtracted.empty() && !outcome.Cancelled) {
    text += "\n展開されなかったもの (壊れている、既にある同じか新しいファイル、書き込めない):";
    for (const auto& n : outcome.NotExtracted) text += "\n  " + n;
  }
  return text;
}

}  // namespace pelsok::app
