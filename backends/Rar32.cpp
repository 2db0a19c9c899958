#include "backends/Rar32.h"

#include "archivecore/CmdOpt.h"
#include "backends/ListingCalls.h"
#include "backends/ProgressHook.h"
#include "platform/Paths.h"

namespace pelsok {

namespace {

enum Entry : std::size_t { kUnrar, kOpen, kClose, kFindFirst, kFindNext };

}  // namespace

LibraryBinding& TRar32::Library() {
  static LibraryBinding binding(
      "UNRAR32.DLL", "この機能の使用には UNRAR32.DLL が 必要です。",
      {"Unrar", "UnrarOpenArchive", "UnrarCloseArchive", "UnrarFindFirst", "UnrarFindNext"});
  return binding;
}

TRar32::TRar32() { TRar32::LoadDll(); }

void TRar32::LoadDll() { Library().Load(); }

void TRar32::UnloadDll() { Library().Unload(); }

ArcHandle TRar32::OpenArchive(ArcWnd wnd, const std::string& archiveName, std::uint32_t mode) {
  return listing::Open(Library(), wnd, archiveName, mode);
}

std::int32_t TRar32::FindFirst(ArcHandle handle, TArchiveEntryInfo& info,
                               const std::string& wildName) {
  return listing::FindFirst(Library(), handle, info, wildName);
}

std::int32_t TRar32::FindNext(ArcHandle handle, TArchiveEntryInfo& info) {
  return listing::FindNext(Library(), handle, info);
}

std::int32_t TRar32::CloseArchive(ArcHandle handle) { return listing::Close(Library(), handle); }

std::int32_t TRar32::Unpack(ArcWnd wnd, const std::string& archiveName,
                            const TArchiverOptions& options, const std::string& baseDir,
                            const platform::TStringList* fileList, std::string& output) {
  const std::string command = options.x == 0 ? "-e" : "-x";
  CommandLine = MakeCmdLine(command, archiveName, options, baseDir, fileList);
  return RunCommand(wnd, output);
}

std::int32_t TRar32::Test(ArcWnd wnd, const std::string& archiveName, std::string& output) {
  TCmdOpt cmd;
  cmd.AddString("", archiveName);
  CommandLine = "-t" + cmd.Text;
  return RunCommand(wnd, output);
}

std::string TRar32::MakeCmdLine(const std::string& command, const std::string& archiveName,
                                const TArchiverOptions& o, const std::string& baseDir,
                                const platform::TStringList* fileList) {
  TCmdOpt cmd;
  if (o.c < 1) cmd.AddText("-u");
  if (o.m > 0) cmd.AddText("-y");
  if (o.p > 0) cmd.AddText("-s");
  cmd.AddText(o.UserOptions);
  cmd.AddString("", archiveName);
  cmd.AddDir("", baseDir);
  if (fileList != nullptr) cmd.AddList("", *fileList);
  cmd.AddText(o.UserFileList);
  return command + cmd.Text;
}

std::int32_t TRar32::RunCommand(ArcWnd wnd, std::string& output) {
  auto unrar = Library().EntryAs<ArcCommandProc>(kUnrar);
  const auto size = static_cast<std::uint32_t>(output.size());
  const TProgressHook progress(Library(), "UnrarSetProgressCallback");
  return unrar(wnd, CommandLine.c_str(), size > 0 ? output.data() : nullptr, size);
}

bool IsRarArchive(const std::string& fileName) {
  return listing::OpensAsArchive(TRar32::Library(), fileName);
}

}  // namespace pelsok
