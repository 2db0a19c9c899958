#include "backends/Zip32.h"

#include <deque>
#include <string>

#include "archivecore/CmdOpt.h"
#include "archivecore/EArchiver.h"
#include "backends/LibraryArchiver.h"
#include "backends/ProgressHook.h"
#include "platform/DynamicLibrary.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace pelsok {

namespace {

const char* const kNoLibrary =
    "ZIP 形式書庫を解凍するには UNZIP32.DLL が、作成するには ZIP32J.DLL が必要です。";
const char* const kNoCreator = "ZIP 形式書庫の作成には ZIP32J.DLL または LMZIP32.DLL が必要です。";
const char* const kNoExtractor =
    "ZIP 形式書庫の解凍には UNZIP32.DLL または LMZIP32.DLL が必要です。";

// The name an entry has in a library: "LMZIP32.DLL" is asked for the name
// with a third character Z made lower-case ("UnZip" is "Unzip" there; "Zip"
// stays). The spellings live as long as the binding.
const char* SpelledIn(std::size_t library, const char* name) {
  static std::deque<std::string> spellings;
  const std::string n = name;
  if (library != TZip32::kLmZip32 || n.size() < 3 || n[2] != 'Z') return name;
  spellings.push_back(n);
  spellings.back()[2] = 'z';
  return spellings.back().c_str();
}

BoundEntry Entry(const char* name, std::initializer_list<std::size_t> order) {
  BoundEntry entry{name, {}};
  for (std::size_t lib : order) entry.Sources.push_back({lib, SpelledIn(lib, name)});
  return entry;
}

// Keeps an existing archive under another name while "LMZIP32.DLL" writes a
// new one, and puts it back unless the library reports success.
class OldArchiveAside {
 public:
  explicit OldArchiveAside(std::string archiveName) : archiveName_(std::move(archiveName)) {
    if (!platform::FileExists(archiveName_)) return;
    for (int i = 0; i < 1000; ++i) {
      std::string candidate = archiveName_ + ".old" + (i ? std::to_string(i) : std::string());
      if (platform::FileExists(candidate) || platform::DirectoryExists(candidate)) continue;
      if (platform::RenameFile(archiveName_, candidate)) asideName_ = std::move(candidate);
      return;
    }
  }
  ~OldArchiveAside() {
    if (asideName_.empty()) return;
    if (committed_) {
      platform::DeleteFile(asideName_);
    } else {
      platform::DeleteFile(archiveName_);
      platform::RenameFile(asideName_, archiveName_);
    }
  }
  OldArchiveAside(const OldArchiveAside&) = delete;
  OldArchiveAside& operator=(const OldArchiveAside&) = delete;
  void Commit() { committed_ = true; }

 private:
  std::string archiveName_;
  std::string asideName_;
  bool committed_ = false;
};

}  // namespace

LibraryBinding& TZip32::Library() {
  static LibraryBinding binding(
      {"UNZIP32.DLL", "ZIP32J.DLL", "LMZIP32.DLL"}, kNoLibrary,
      {Entry("Zip", {kZip32j, kLmZip32}), Entry("UnZip", {kUnzip32, kLmZip32}),
       Entry("UnZipOpenArchive", {kLmZip32, kZip32j, kUnzip32}),
       Entry("UnZipCloseArchive", {kLmZip32, kZip32j, kUnzip32}),
       Entry("UnZipFindFirst", {kLmZip32, kZip32j, kUnzip32}),
       Entry("UnZipFindNext", {kLmZip32, kZip32j, kUnzip32})});
  return binding;
}

TZip32::TZip32() { TZip32::LoadDll(); }

void TZip32::LoadDll() { Library().Load(); }

void TZip32::UnloadDll() { Library().Unload(); }

void* TZip32::GetZipEntry(ZipEntryId entry) { return Library().Entry(entry, true); }

void* TZip32::CallableEntry(ZipEntryId entry) {
  LibraryBinding& lib = Library();
  if (entry != kUnZipFindNext) lib.Load();
  if (!lib.Resolved(entry)) {
    if (entry == kZip && !lib.Loaded(kZip32j) && !lib.Loaded(kLmZip32)) throw EArchiver(kNoCreator);
    if (entry == kUnZip && !lib.Loaded(kUnzip32) && !lib.Loaded(kLmZip32))
      throw EArchiver(kNoExtractor);
  }
  return GetZipEntry(entry);
}

ArcHandle TZip32::OpenArchive(ArcWnd wnd, const std::string& archiveName, std::uint32_t mode) {
  auto open = reinterpret_cast<ArcOpenProc>(CallableEntry(kUnZipOpenArchive));
  return open(wnd, platform::ExpandFileName(archiveName).c_str(), mode);
}

std::int32_t TZip32::FindFirst(ArcHandle handle, TArchiveEntryInfo& info,
                               const std::string& wildName) {
  auto findFirst = reinterpret_cast<ArcFindFirstProc>(CallableEntry(kUnZipFindFirst));
  return findFirst(handle, wildName.c_str(), &info);
}

std::int32_t TZip32::FindNext(ArcHandle handle, TArchiveEntryInfo& info) {
  auto findNext = reinterpret_cast<ArcFindNextProc>(CallableEntry(kUnZipFindNext));
  return findNext(handle, &info);
}

std::int32_t TZip32::CloseArchive(ArcHandle handle) {
  auto close = reinterpret_cast<ArcCloseProc>(CallableEntry(kUnZipCloseArchive));
  return close(handle);
}

std::int32_t TZip32::Unpack(ArcWnd wnd, const std::string& archiveName,
                            const TArchiverOptions& options, const std::string& baseDir,
                            const platform::TStringList* fileList, std::string& output) {
  CommandLine = MakeUnZipCmdLine("-x", archiveName, options, baseDir, fileList);
  return RunUnZip(wnd, output);
}

std::int32_t TZip32::Test(ArcWnd wnd, const std::string& archiveName, std::string& output) {
  CommandLine = ArchiveCmdLine("-t", archiveName);
  return RunUnZip(wnd, output);
}

std::int32_t TZip32::ReadMembers(const std::string& archiveName, const std::string& wildName,
                                 ArcMemberDataCallback callback, void* user, std::string& output) {
  LibraryBinding& lib = Library();
  lib.Load();
  const char* const entry = "UnZipReadMembers";
  void* address =
      lib.Loaded(kUnzip32) ? platform::GetProcAddress(lib.Handle(kUnzip32), entry) : nullptr;
  const TProgressHook progress(lib, "UnZipSetProgressCallback", kUnzip32);
  return CallReadEntry(address, lib.FileName(kUnzip32), entry,
                       platform::ExpandFileName(archiveName), wildName, callback, user, output);
}

std::int32_t TZip32::Pack(ArcWnd wnd, const std::string& archiveName,
                          const TArchiverOptions& options, const std::string& baseDir,
                          const platform::TStringList* fileList, std::string& output) {
  // Decided by what is loaded now; "Zip" itself is resolved by its own order.
  if (Library().Loaded(kZip32j)) {
    CommandLine = MakeZipCmdLine("", archiveName, options, baseDir, fileList);
    return RunZip(wnd, output);
  }
  if (Library().Loaded(kLmZip32)) {
    CommandLine = MakeLmZipCmdLine("-ru", archiveName, options, "", fileList);
    // This library always writes a new archive; the old one waits aside.
    OldArchiveAside old(archiveName);
    const std::int32_t result = RunZip(wnd, output);
    if (result == 0) old.Commit();
    return result;
  }
  throw EArchiver(kNoCreator);
}

std::int32_t TZip32::Remove(ArcWnd wnd, const std::string& archiveName,
                            const TArchiverOptions& options, const std::string& /*baseDir*/,
                            const platform::TStringList* fileList, std::string& output) {
  CommandLine = MakeZipCmdLine("-d", archiveName, options, "", fileList);
  return RunZip(wnd, output);
}

std::string TZip32::MakeUnZipCmdLine(const std::string& command, const std::string& archiveName,
                                     const TArchiverOptions& o, const std::string& baseDir,
                                     const platform::TStringList* fileList) {
  return FlagCmdLine(command, {{o.c == 1, "-o"}, {o.n == 1, "--i"}, {o.x == 0, "-j"}}, archiveName,
                     o, baseDir, fileList);
}

std::string TZip32::MakeLmZipCmdLine(const std::string& command, const std::string& archiveName,
                                     const TArchiverOptions& o, const std::string& baseDir,
                                     const platform::TStringList* fileList) {
  return FlagCmdLine(command, {{o.c == 1, "-o"}, {o.x == 0, "-j"}}, archiveName, o, baseDir,
                     fileList);
}

std::string TZip32::MakeZipCmdLine(const std::string& command, const std::string& archiveName,
                                   const TArchiverOptions& o, const std::string& baseDir,
                                   const platform::TStringList* fileList) {
  TCmdOpt cmd;
  // -o (the archive takes its newest entry's time) follows the quiet option.
  AddFlags(cmd, {{o.a > 0, "-S"},
                 {o.a < 2, "-D"},
                 {o.l > 0, "-v"},
                 {o.n > 0, "-q"},
                 {o.r > 0, "-r"},
                 {o.n > 0, "-o"},
                 {o.u > 0, "-u"},
                 {o.x == 0, "-j"},
                 {o.jc > 0, "-FF"},
                 {o.ji > 0, "-k"}});
  cmd.AddNumber("", o.jm);
  AddFlags(cmd, {{o.gd > 0, "-J"}});
  return FinishCmdLine(command, cmd, archiveName, o, baseDir, fileList);
}

std::int32_t TZip32::RunUnZip(ArcWnd wnd, std::string& output) {
  auto unzip = reinterpret_cast<ArcCommandProc>(CallableEntry(kUnZip));
  const auto size = static_cast<std::uint32_t>(output.size());
  const TProgressHook progress(Library(), "UnZipSetProgressCallback", kUnzip32);
  return unzip(wnd, CommandLine.c_str(), size > 0 ? output.data() : nullptr, size);
}

std::int32_t TZip32::RunZip(ArcWnd wnd, std::string& output) {
  auto zip = reinterpret_cast<ArcCommandProc>(CallableEntry(kZip));
  const auto size = static_cast<std::uint32_t>(output.size());
  const TProgressHook progress(Library(), "ZipSetProgressCallback", kZip32j);
  return zip(wnd, CommandLine.c_str(), size > 0 ? output.data() : nullptr, size);
}

bool IsZipArchive(const std::string& fileName) {
  try {
    TZip32::Library().Load();
    auto open = reinterpret_cast<ArcOpenProc>(TZip32::CallableEntry(TZip32::kUnZipOpenArchive));
    const ArcHandle h = open(nullptr, platform::ExpandFileName(fileName).c_str(), 0x800002);
    if (h != 0)
      reinterpret_cast<ArcCloseProc>(TZip32::CallableEntry(TZip32::kUnZipCloseArchive))(h);
    return h != 0;
  } catch (...) {
    return false;
  }
}

}  // namespace pelsok
