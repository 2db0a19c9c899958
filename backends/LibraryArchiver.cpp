#include "backends/LibraryArchiver.h"

#include "backends/ListingCalls.h"
#include "backends/ProgressHook.h"

namespace pelsok {

void TLibraryArchiver::LoadDll() { Binding().Load(); }

void TLibraryArchiver::UnloadDll() { Binding().Unload(); }

ArcHandle TLibraryArchiver::OpenArchive(ArcWnd wnd, const std::string& archiveName,
                                        std::uint32_t mode) {
  return listing::Open(Binding(), wnd, archiveName, mode);
}

std::int32_t TLibraryArchiver::FindFirst(ArcHandle handle, TArchiveEntryInfo& info,
                                         const std::string& wildName) {
  return listing::FindFirst(Binding(), handle, info, wildName);
}

std::int32_t TLibraryArchiver::FindNext(ArcHandle handle, TArchiveEntryInfo& info) {
  return listing::FindNext(Binding(), handle, info);
}

std::int32_t TLibraryArchiver::CloseArchive(ArcHandle handle) {
  return listing::Close(Binding(), handle);
}

std::int32_t TLibraryArchiver::RunCommandEntry(LibraryBinding& lib, const char* progressEntry,
                                               ArcWnd wnd, std::string& output) {
  auto command = lib.EntryAs<ArcCommandProc>(listing::kCommand);
  const auto size = static_cast<std::uint32_t>(output.size());
  const TProgressHook progress(lib, progressEntry);
  return command(wnd, CommandLine.c_str(), size > 0 ? output.data() : nullptr, size);
}

std::string FinishCmdLine(const std::string& command, TCmdOpt& cmd, const std::string& archiveName,
                          const TArchiverOptions& o, const std::string& baseDir,
                          const platform::TStringList* fileList) {
  cmd.AddText(o.UserOptions);
  cmd.AddString("", archiveName);
  cmd.AddDir("", baseDir);
  if (fileList != nullptr) cmd.AddList("", *fileList);
  cmd.AddText(o.UserFileList);
  return command + cmd.Text;
}

std::string ArchiveCmdLine(const std::string& command, const std::string& archiveName) {
  TCmdOpt cmd;
  cmd.AddString("", archiveName);
  return command + cmd.Text;
}

}  // namespace pelsok
