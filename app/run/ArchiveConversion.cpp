#include "app/run/ArchiveConversion.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <system_error>

#include "app/run/ConvertedManifest.h"
#include "app/run/FileChecksum.h"
#include "app/run/FilesOldestFirst.h"
#include "app/run/Manifest.h"
#include "archive/ArchiveFile.h"
#include "archive/GetArchiverType.h"
#include "platform/Exceptions.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/StoredName.h"

namespace pelsok::app {
namespace {

namespace fs = std::filesystem;

// What came out for one member: a file's size, CRC-32 and time, a link's
// target, or a folder.
struct TMemberCopy {
  char Kind = 'f';  // 'f' file, 'l' symbolic link, 'd' folder
  std::uint64_t Size = 0;
  std::uint32_t Crc = 0;
  std::int64_t Time = 0;
  std::string Target;
  bool operator==(const TMemberCopy&) const = default;
};

using TTree = std::map<std::string, TMemberCopy>;

class TConversionFailed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& pattern, std::initializer_list<std::string> args) {
  throw TConversionFailed(platform::FormatText(pattern, args));
}

// The private folder the members pass through, beside the archive; it goes
// with everything in it when the conversion ends.
class TWorkFolder {
 public:
  explicit TWorkFolder(const std::string& archiveName) {
    std::string name = platform::ExtractFilePath(archiveName) + "." +
                       platform::ExtractFileName(archiveName) + ".convert-XXXXXX";
    if (::mkdtemp(name.data()) == nullptr)
      Fail("作業用のフォルダを '%s' に作れません。", {platform::ExtractFilePath(archiveName)});
    path_ = name;
  }
  ~TWorkFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TWorkFolder(const TWorkFolder&) = delete;
  TWorkFolder& operator=(const TWorkFolder&) = delete;
  // A fresh folder inside, with its delimiter.
  std::string Sub(const std::string& name) const {
    const std::string sub = path_ + "/" + name;
    std::error_code ec;
    if (!fs::create_directory(sub, ec)) Fail("作業用のフォルダ '%s' を作れません。", {sub});
    return sub + "/";
  }

 private:
  std::string path_;
};

// Holds the run lock of an archive name or raises with the run's wording.
class TArchiveLock {
 public:
  explicit TArchiveLock(const std::string& name) : lock_(name) {
    if (lock_.Held()) return;
    if (lock_.HeldByAnother())
      Fail("書庫 '%s' は別の実行が作成中です。終わってからやり直してください。", {name});
    Fail("ロックファイル '%s' を作成できません: %s", {lock_.LockName(), lock_.Error()});
  }

 private:
  platform::TFileLock lock_;
};

std::string Hex(std::int32_t result) {
  char code[16];
  std::snprintf(code, sizeof code, "%X", static_cast<unsigned>(result));
  return code;
}

// The library's report, cut to its first lines for a message.
std::string ReportOf(const TArchiveFile& archive) {
  std::string report = archive.Output().c_str();
  while (!report.empty() && (report.back() == '\n' || report.back() == '\r')) report.pop_back();
  return report.empty() ? std::string() : "\n" + report;
}

// Binds the back end the content shows, the name's when the content shows none.
void BindByContent(TArchiveFile& archive, const std::string& name) {
  const TArchiverType byContent = GetArchiverType(name, false);
  archive.SetFileName(name);
  if (byContent != atNone && byContent != archive.ArchiverType())
    archive.SetArchiverType(byContent);
  if (archive.Archiver() == nullptr) Fail("書庫 '%s' の形式がわかりません。", {name});
}

void Extract(TArchiveFile& archive, const std::string& folder) {
  archive.Options().x = 1;
  archive.Options().c = 1;
  archive.SetOutputSize(1 << 16);
  const std::int32_t rc = archive.Unpack(nullptr, folder, nullptr);
  if (rc != 0)
    Fail("書庫 '%s' を取り出せません (結果 %s)。%s",
         {archive.FileName(), Hex(rc), ReportOf(archive)});
}

// Folders get the times the old archive lists for them, which extraction
// does not restore (each file written into a folder moves its time).
void SetFolderTimes(TArchiveFile& archive, const std::string& root) {
  if (archive.OpenArchive(nullptr, 0) == 0) return;
  TArchiveEntryInfo info{};
  for (int rc = archive.FindFirst("*.*", info); rc == 0; rc = archive.FindNext(info)) {
    std::string name(info.FileName, strnlen(info.FileName, sizeof info.FileName));
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty() || name.back() != '/' || info.DosDate == 0) continue;
    struct tm t {};
    t.tm_year = 80 + (info.DosDate >> 9);
    t.tm_mon = ((info.DosDate >> 5) & 15) - 1;
    t.tm_mday = info.DosDate & 31;
    t.tm_hour = info.DosTime >> 11;
    t.tm_min = (info.DosTime >> 5) & 63;
    t.tm_sec = (info.DosTime & 31) * 2;
    t.tm_isdst = -1;
    const std::string path = root + platform::StoredName(name.substr(0, name.size() - 1));
    const struct timespec times[2] = {{::mktime(&t), 0}, {::mktime(&t), 0}};
    std::error_code ec;
    if (fs::is_directory(path, ec) && !fs::is_symlink(path, ec))
      ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
    info = TArchiveEntryInfo{};
  }
  archive.CloseArchive();
}

// Every member that came out below root, by its path relative to root.
TTree ReadTree(const std::string& root) {
  TTree tree;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    const std::string rel = fs::relative(p, root).generic_string();
    TMemberCopy m;
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) Fail("'%s' を読めません。", {p.string()});
    if (S_ISLNK(st.st_mode)) {
      m.Kind = 'l';
      m.Target = fs::read_symlink(p, ec).string();
    } else if (S_ISDIR(st.st_mode)) {
      m.Kind = 'd';
    } else {
      const auto sum = FileChecksum(p.string(), TSumKind::Crc32);
      if (!sum) Fail("'%s' を読めません。", {p.string()});
      m.Size = sum->Size;
      m.Crc = sum->Sum.Value;
      m.Time = st.st_mtime;
    }
    tree.emplace(rel, m);
  }
  if (ec) Fail("'%s' を読めません: %s", {root, ec.message()});
  return tree;
}

// The first member the new archive does not give back as the old one did.
void Compare(const TTree& old, const TTree& now, const std::string& newName) {
  for (const auto& [name, m] : old) {
    const auto it = now.find(name);
    if (it == now.end())
      Fail("メンバー '%s' は新しい書庫 '%s' に入りませんでした。", {name, newName});
    if (m.Kind == 'd') continue;
    if (it->second.Kind != m.Kind || it->second.Size != m.Size || it->second.Crc != m.Crc ||
        it->second.Target != m.Target)
      Fail("メンバー '%s' は新しい書庫 '%s' で大きさかチェックサムが違います。", {name, newName});
    if (it->second.Time != m.Time)
      Fail("メンバー '%s' の時刻は新しい書庫 '%s' で違います。", {name, newName});
  }
  for (const auto& [name, m] : now)
    if (old.find(name) == old.end())
      Fail("新しい書庫 '%s' に余分なメンバー '%s' があります。", {newName, name});
}

std::uint64_t SizeOf(const std::string& name) {
  std::error_code ec;
  const auto size = fs::file_size(name, ec);
  return ec ? 0 : size;
}

bool EndsWithNoCase(const std::string& s, const char* tail) {
  const std::size_t n = std::strlen(tail);
  return s.size() > n && strcasecmp(s.c_str() + s.size() - n, tail) == 0;
}

}  // namespace

std::string ConvertedName(const std::string& archiveName, const TBackendRow& format) {
  std::string stem = platform::ChangeFileExt(archiveName, "");
  if (EndsWithNoCase(stem, ".tar")) stem.resize(stem.size() - 4);
  return stem + format.WriteExtension;
}

TConversionResult ConvertArchive(const std::string& archiveName, const TBackendRow& format,
                                 bool replace, ArcWnd wnd) {
  TConversionResult result;
  result.NewName = ConvertedName(archiveName, format);
  bool made = false;
  try {
    if (!platform::FileExists(archiveName)) Fail("書庫 '%s' がありません。", {archiveName});
    TArchiveLock oldLock(archiveName);
    TArchiveFile old(nullptr);
    BindByContent(old, archiveName);
    if (old.ArchiverType() == format.Type) {
      result.Skipped = true;
      result.Message = platform::FormatText("書庫 '%s' は既に %s 形式です。",
                                            {archiveName, format.PlainTitle()});
      return result;
    }
    if (platform::FileExists(result.NewName) || platform::DirectoryExists(result.NewName))
      Fail("'%s' は既にあります。変換しません。", {result.NewName});
    TArchiveLock newLock(result.NewName);
    result.OldSize = SizeOf(archiveName);
    const TWorkFolder work(archiveName);

    // Each member is read once, from the old archive into the folder.
    const std::string members = work.Sub("members");
    Extract(old, members);
    SetFolderTimes(old, members);
    const TTree tree = ReadTree(members);

    platform::TStringList list;
    std::error_code ec;
    for (fs::directory_iterator it(members, ec), end; !ec && it != end; it.increment(ec))
      list.Add(it->path().filename().string());
    if (list.Count() == 0) Fail("書庫 '%s' にメンバーがありません。", {archiveName});
    TArchiveFile now(nullptr);
    now.SetFileName(result.NewName);
    now.SetArchiverType(format.Type);
    if (now.Archiver() == nullptr) Fail("%s 形式の書庫は書けません。", {format.PlainTitle()});
    now.Options().x = 1;
    now.Options().a = 1;
    now.SetOutputSize(1 << 16);
    made = true;
    const std::int32_t rc = now.Pack(wnd, members, &list);
    if (rc != 0)
      Fail("新しい書庫 '%s' を作れません (結果 %s)。%s", {result.NewName, Hex(rc), ReportOf(now)});

    // The new archive gives back every member as the old one did.
    const std::string check = work.Sub("check");
    TArchiveFile written(nullptr);
    written.SetFileName(result.NewName);
    written.SetArchiverType(format.Type);
    Extract(written, check);
    Compare(tree, ReadTree(check), result.NewName);
    // The month keeps its evidence in the kind's chain.
    const std::string why = WriteConvertedManifest(archiveName, written, format.Name);
    if (!why.empty())
      Fail("マニフェスト '%s' を書けません: %s", {ManifestName(result.NewName), why});

    for (const auto& [name, m] : tree)
      if (m.Kind != 'd') ++result.Files;
    result.NewSize = SizeOf(result.NewName);
    result.Converted = true;
    if (replace) {
      if (::unlink(archiveName.c_str()) != 0)
        Fail("元の書庫 '%s' を削除できません。", {archiveName});
      result.Replaced = true;
    }
  } catch (const std::exception& e) {
    if (!result.Converted) {
      if (made) {
        std::error_code ec;
        fs::remove(result.NewName, ec);
      }
      result.Message = e.what();
    } else {
      result.Message = e.what();
    }
  }
  return result;
}

std::vector<std::string> ArchivesInFolder(const std::string& folder) {
  return FilesOldestFirst(
      folder, [](const std::string& name) { return GetArchiverType(name, true) != atNone; });
}

}  // namespace pelsok::app
