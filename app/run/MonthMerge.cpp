#include "app/run/MonthMerge.h"

#include <stdlib.h>

#include <chrono>
#include <filesystem>

#include "archive/ArchiveFile.h"
#include "platform/Paths.h"

namespace pelsok::app {
namespace {

namespace fs = std::filesystem;

// Whole seconds: the archive keeps no finer time.
std::int64_t Seconds(fs::file_time_type t) {
  return std::chrono::duration_cast<std::chrono::seconds>(t.time_since_epoch()).count();
}

// A folder that goes with everything in it.
struct TScratch {
  std::string Path;
  ~TScratch() {
    std::error_code ec;
    if (!Path.empty()) fs::remove_all(Path, ec);
  }
};

// What a killed run left: its extraction folders, and logs it moved out of
// the way for an older member (back under their name when that is free).
void PutRightKilledMerge(const std::string& scratchPrefix, const std::string& logFolder,
                         const std::string& olderSuffix) {
  const fs::path prefix(scratchPrefix);
  const std::string stem = prefix.filename().string();
  const fs::path parent = prefix.has_parent_path() ? prefix.parent_path() : fs::path(".");
  std::error_code ec;
  for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code e;
    if (it->path().filename().string().rfind(stem, 0) == 0 && it->is_directory(e) &&
        !it->is_symlink(e))
      fs::remove_all(it->path(), e);
  }
  const fs::path logs(logFolder.empty() ? "." : logFolder);
  for (fs::directory_iterator it(logs, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().string();
    std::error_code e;
    if (name.ends_with(olderSuffix) && it->is_regular_file(e)) {
      const fs::path log = name.substr(0, name.size() - olderSuffix.size());
      if (!fs::exists(log, e)) fs::rename(it->path(), log, e);
    }
  }
}

}  // namespace

TMonthMerge::TMonthMerge(const std::string& archive, const std::string& oldArchive,
                         TArchiverType type, const std::string& mask, ArcWnd wnd) {
  const std::string scratchPrefix =
      platform::ExtractFilePath(archive) + "." + platform::ExtractFileName(archive) + ".merge-";
  PutRightKilledMerge(scratchPrefix, platform::ExtractFilePath(mask), kOlderSuffix);
  TScratch scratch;
  std::string name = scratchPrefix + "XXXXXX";
  if (::mkdtemp(name.data()) == nullptr) {
    unreadable_ = true;
    return;
  }
  scratch.Path = name;
  try {
    TArchiveFile archive(nullptr);
    archive.SetFileName(oldArchive);
    archive.SetArchiverType(type);
    archive.SetOutputSize(8192);
    if (archive.Unpack(wnd, platform::IncludeTrailingPathDelimiter(scratch.Path), nullptr) != 0) {
      unreadable_ = true;
      return;
    }
  } catch (const std::exception&) {
    unreadable_ = true;
    return;
  }
  const std::string logFolder = platform::ExtractFilePath(mask);
  std::error_code ec;
  for (fs::recursive_directory_iterator it(scratch.Path, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError) || it->is_symlink(typeError)) continue;
    const fs::path member = it->path();
    const fs::path target = fs::path(logFolder.empty() ? "." : logFolder) / member.filename();
    const auto memberTime = fs::last_write_time(member, typeError);
    if (typeError) continue;
    TRestored restored;
    restored.Path = target.string();
    std::error_code statError;
    const auto logTime = fs::last_write_time(target, statError);
    if (!statError) {
      // The log on disk is this member or a later version of it.
      if (Seconds(logTime) >= Seconds(memberTime)) continue;
      restored.LogAside = restored.Path + kOlderSuffix;
      std::error_code renameError;
      if (fs::exists(restored.LogAside, renameError)) continue;
      fs::rename(target, restored.LogAside, renameError);
      if (renameError) continue;
    }
    std::error_code copyError;
    fs::copy_file(member, target, fs::copy_options::none, copyError);
    if (!copyError) fs::last_write_time(target, memberTime, copyError);
    const auto written = platform::FileIdentity(restored.Path);
    if (copyError || !written) {
      if (!restored.LogAside.empty()) fs::rename(restored.LogAside, target, copyError);
      continue;
    }
    restored.Written = *written;
    restored_.push_back(std::move(restored));
  }
}

TMonthMerge::~TMonthMerge() {
  for (const auto& r : restored_) {
    if (platform::FileIdentity(r.Path) == r.Written) platform::DeleteFile(r.Path);
    std::error_code ec;
    if (!r.LogAside.empty() && !fs::exists(r.Path, ec)) fs::rename(r.LogAside, r.Path, ec);
  }
}

}  // namespace pelsok::app
