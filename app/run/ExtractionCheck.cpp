#include "app/run/ExtractionCheck.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "archive/ArchiveFile.h"
#include "platform/Paths.h"
#include "platform/StoredName.h"

namespace pelsok::app {
namespace {

namespace fs = std::filesystem;

// Removes every check folder of this archive. The run's lock is held, so
// any there is a dead run's.
void RemoveCheckFolders(const std::string& archiveName) {
  const fs::path prefix(ExtractionCheckPrefix(archiveName));
  const std::string stem = prefix.filename().string();
  std::error_code ec;
  const fs::path parent = prefix.has_parent_path() ? prefix.parent_path() : fs::path(".");
  for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (name.rfind(stem, 0) == 0 && it->is_directory(typeError) && !it->is_symlink(typeError)) {
      std::error_code removeError;
      fs::remove_all(it->path(), removeError);
    }
  }
}

// A fresh, empty folder (owner only) whose name starts with prefix; empty
// when none can be made.
std::string MakeFreshFolder(const std::string& prefix) {
  std::string name = prefix + "XXXXXX";
  return ::mkdtemp(name.data()) != nullptr ? name : std::string();
}

// The file an entry came out as: under its listed path, else under its own name.
std::string ExtractedFile(const std::string& folder, const std::string& entryName) {
  const std::string withPath = folder + "/" + platform::StoredName(entryName);
  std::error_code ec;
  if (fs::is_regular_file(withPath, ec)) return withPath;
  return folder + "/" + platform::StoredName(entryName, false);
}

// A check folder, removed with everything in it when the check ends.
class TCheckFolder {
 public:
  explicit TCheckFolder(const std::string& prefix)
      : path_(prefix.empty() ? std::string() : MakeFreshFolder(prefix)) {}
  ~TCheckFolder() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  TCheckFolder(const TCheckFolder&) = delete;
  TCheckFolder& operator=(const TCheckFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

TExtractionCheck ExtractInto(const std::string& archiveName, TArchiverType type,
                             const TCheckFolder& folder, ArcWnd wnd) {
  TExtractionCheck result;
  if (folder.Path().empty()) {
    result.Result = arc::kCannotWrite;
    result.Report = "確認用のフォルダを作れません";
    return result;
  }
  TArchiveFile archive(nullptr);
  archive.SetFileName(archiveName);
  archive.SetArchiverType(type);
  archive.SetOutputSize(8192);
  const std::int32_t rc =
      archive.Unpack(wnd, platform::IncludeTrailingPathDelimiter(folder.Path()), nullptr);
  result.Result = rc;
  result.Report = archive.Output().c_str();
  return result;
}

}  // namespace

TExtractionCheck TestByExtraction(const std::string& archiveName, TArchiverType type, ArcWnd wnd) {
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  const TCheckFolder folder(ec ? std::string() : (base / "pelsok-check-").string());
  return ExtractInto(archiveName, type, folder, wnd);
}

void RemoveStaleCheckFolders(const std::string& archiveName) { RemoveCheckFolders(archiveName); }

std::string ExtractionCheckPrefix(const std::string& archiveName) {
  return platform::ExtractFilePath(archiveName) + "." + platform::ExtractFileName(archiveName) +
         ".check-";
}

TExtractionCheck SumsByExtraction(const std::string& archiveName, TArchiverType type,
                                  std::vector<TListedEntry>& entries, ArcWnd wnd) {
  for (auto& e : entries) e.Sum.reset();
  RemoveCheckFolders(archiveName);
  const TCheckFolder folder(ExtractionCheckPrefix(archiveName));
  const TExtractionCheck result = ExtractInto(archiveName, type, folder, wnd);
  if (!result.Extracted()) return result;
  for (auto& e : entries) {
    const auto sum = FileChecksum(ExtractedFile(folder.Path(), e.Name), TSumKind::Crc32);
    if (sum && sum->Size == e.OriginalSize) e.Sum = sum->Sum;
  }
  return result;
}

}  // namespace pelsok::app
