#include "app/run/InterruptedRun.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/Exceptions.h"
#include "platform/FileSystem.h"

namespace pelsok::app {
namespace {

namespace fs = std::filesystem;

// NAME.old or NAME.old<digits>
bool IsAsideName(const std::string& file, const std::string& archive) {
  const std::string stem = archive + ".old";
  if (file.compare(0, stem.size(), stem) != 0) return false;
  return std::all_of(file.begin() + stem.size(), file.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; });
}

// .NAME.tmp...: the name a run packs to (.NAME.tmp-run.EXT) and every
// temporary file a library makes beside it (.NAME.tmp-run.EXT.XXXXXX,
// ..NAME.tmp-run.EXT.tmpXXXXXX), and the libraries' own .NAME.tmpXXXXXX.
// The hidden ".NAME.tmp" prefix is the run's; no log or kept archive has it.
bool IsTempName(const std::string& file, const std::string& archive) {
  for (const std::string& stem :
       {"." + archive.substr(0, 100) + ".tmp", ".." + archive.substr(0, 99) + ".tmp"})
    if (file.size() > stem.size() && file.compare(0, stem.size(), stem) == 0) return true;
  return false;
}

struct Split {
  fs::path Folder;
  std::string Name;
};

Split SplitArchive(const std::string& archiveName) {
  const fs::path p(archiveName);
  return {p.has_parent_path() ? p.parent_path() : fs::path("."), p.filename().string()};
}

std::int64_t ChangeTime(const fs::path& p) {
  struct stat st {};
  if (::lstat(p.c_str(), &st) != 0) return 0;
  return static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
}

}  // namespace

std::vector<std::string> KeptOldArchives(const std::string& archiveName) {
  const Split s = SplitArchive(archiveName);
  std::vector<std::string> kept;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(s.Folder, ec)) {
    const std::string file = e.path().filename().string();
    if (IsAsideName(file, s.Name) && e.is_regular_file(ec)) kept.push_back(e.path().string());
  }
  std::sort(kept.begin(), kept.end());
  return kept;
}

std::vector<std::string> RecoverInterruptedRun(const std::string& archiveName) {
  std::vector<std::string> notes;
  const Split s = SplitArchive(archiveName);
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(s.Folder, ec)) {
    const std::string file = e.path().filename().string();
    if (IsTempName(file, s.Name) && e.is_regular_file(ec) && fs::remove(e.path(), ec))
      notes.push_back(platform::FormatText("中断された実行の一時ファイル '%s' を削除しました",
                                           {e.path().string()}));
  }
  if (platform::GetFileAttributes(archiveName).has_value()) return notes;
  // The archive is missing: the old one moved aside last is the one an
  // interrupted run took away.
  std::vector<std::string> aside = KeptOldArchives(archiveName);
  if (aside.empty()) return notes;
  const auto last = std::max_element(aside.begin(), aside.end(), [](const auto& a, const auto& b) {
    return ChangeTime(a) < ChangeTime(b);
  });
  if (platform::RenameFile(*last, archiveName))
    notes.push_back(platform::FormatText(
        "中断された実行で退避されたままの書庫 '%s' を '%s' に戻しました", {*last, archiveName}));
  return notes;
}

}  // namespace pelsok::app
