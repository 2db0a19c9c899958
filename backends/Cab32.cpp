#include "backends/Cab32.h"

#include "archivecore/CmdOpt.h"
#include "backends/ListingCalls.h"
#include "backends/ProgressHook.h"
#include "platform/Paths.h"

namespace pelsok {

namespace {

enum Entry : std::size_t { kCab, kOpen, kClose, kFindFirst, kFindNext };

}  // namespace

LibraryBinding& TCab32::Library() {
  static LibraryBinding binding(
      "CAB32.DLL", "CAB 形式書庫を扱うには CAB32.DLL が 必要です。",
      {"Cab", "CabOpenArchive", "CabCloseArchive", "CabFindFirst", "CabFindNext"});
  return binding;
}

TCab32::TCab32() { TCab32::LoadDll(); }

void TCab32::LoadDll() { Library().Load(); }

void TCab32::UnloadDll() { Library().Unload(); }

ArcHandle TCab32::OpenArchive(ArcWnd wnd, const std::string& archiveName, std::uint32_t mode) {
  return listing::Open(Library(), wnd, archiveName, mode);
}

std::int32_t TCab32::FindFirst(ArcHandle handle, TArchiveEntryInfo& info,
                               const std::string& wildName) {
  return listing::FindFirst(Library(), handle, info, wildName);
}

std::int32_t TCab32::FindNext(ArcHandle handle, TArchiveEntryInfo& info) {
  return listing::FindNext(Library(), handle, info);
}

std::int32_t TCab32::CloseArchive(ArcHandle handle) { return listing::Close(Library(), handle); }

// The only command that names the archive by its full path.
std::int32_t TCab32::Unpack(ArcWnd wnd, const std::string& archiveName,
                            const TArchiverOptions& options, const std::string& baseDir,
                            const platform::TStringList* fileList, std::string& output) {
  CommandLine =
      MakeCmdLine("-x", platform::ExpandFileName(archiveName), options, baseDir, fileList);
  return RunCommand(wnd, output);
}

std::int32_t TCab32::Pack(ArcWnd wnd, const std::string& archiveName,
                          const TArchiverOptions& options, const std::string& baseDir,
                          const platform::TStringList* fileList, std::string& output) {
  CommandLine = MakeCmdLine("-a", archiveName, options, baseDir, fileList);
  return RunCommand(wnd, output);
}

std::int32_t TCab32::MakeSfx(ArcWnd wnd, const std::string& archiveName,
                             const TArchiverOptions& options, std::string& output) {
  CommandLine = MakeCmdLine("-f", archiveName, options, "", nullptr);
  return RunCommand(wnd, output);
}

std::string TCab32::MakeCmdLine(const std::string& command, const std::string& archiveName,
                                const TArchiverOptions& o, const std::string& baseDir,
                                const platform::TStringList* fileList) {
  TCmdOpt cmd;
  if (o.c == 1) cmd.AddText("-o");
  if (o.n == 1) cmd.AddText("-i");
  if (o.r > 0) cmd.AddText("-r");
  if (o.x == 0) cmd.AddText("-j");
  cmd.AddText(o.UserOptions);
  cmd.AddString("", archiveName);
  cmd.AddDir("", baseDir);
  if (fileList != nullptr) cmd.AddList("", *fileList);
  cmd.AddText(o.UserFileList);
  return command + cmd.Text;
}

std::int32_t TCab32::RunCommand(ArcWnd wnd, std::string& output) {
  auto cab = Library().EntryAs<ArcCommandProc>(kCab);
  const auto size = static_cast<std::uint32_t>(output.size());
  const TProgressHook progress(Library(), "CabSetProgressCallback");
  return cab(wnd, CommandLine.c_str(), size > 0 ? output.data() : nullptr, size);
}

bool IsCabArchive(const std::string& fileName) {
  return listing::OpensAsArchive(TCab32::Library(), fileName);
}

}  // namespace pelsok
