#include "backends/LibraryArchiver.h"

#include "archivecore/EArchiver.h"
#include "backends/ListingCalls.h"
#include "backends/ProgressHook.h"
#include "platform/DynamicLibrary.h"
#include "platform/Paths.h"

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

std::int32_t TLibraryArchiver::Unpack(ArcWnd wnd, const std::string& archiveName,
                                      const TArchiverOptions& options, const std::string& baseDir,
                                      const platform::TStringList* fileList, std::string& output) {
  const char* command =
      format_.UnpackFlat != nullptr && options.x == 0 ? format_.UnpackFlat : format_.Unpack;
  return Run(command, wnd,
             format_.UnpackByFullPath ? platform::ExpandFileName(archiveName) : archiveName,
             options, baseDir, fileList, output);
}

std::int32_t TLibraryArchiver::Pack(ArcWnd wnd, const std::string& archiveName,
                                    const TArchiverOptions& options, const std::string& baseDir,
                                    const platform::TStringList* fileList, std::string& output) {
  if (format_.NoPack != nullptr) throw EArchiver(format_.NoPack);
  if (format_.Pack == nullptr)
    return TArchiver::Pack(wnd, archiveName, options, baseDir, fileList, output);
  return Run(format_.Pack, wnd, archiveName, options, baseDir, fileList, output);
}

std::int32_t TLibraryArchiver::Remove(ArcWnd wnd, const std::string& archiveName,
                                      const TArchiverOptions& options, const std::string& baseDir,
                                      const platform::TStringList* fileList, std::string& output) {
  if (format_.Remove == nullptr)
    return TArchiver::Remove(wnd, archiveName, options, baseDir, fileList, output);
  // Removing names no base folder.
  return Run(format_.Remove, wnd, archiveName, options, "", fileList, output);
}

std::int32_t TLibraryArchiver::MakeSfx(ArcWnd wnd, const std::string& archiveName,
                                       const TArchiverOptions& options, std::string& output) {
  if (format_.NoSfx != nullptr) throw EArchiver(format_.NoSfx);
  if (format_.MakeSfx == nullptr) return TArchiver::MakeSfx(wnd, archiveName, options, output);
  return Run(format_.MakeSfx, wnd, archiveName, options, "", nullptr, output);
}

std::int32_t TLibraryArchiver::Test(ArcWnd wnd, const std::string& archiveName,
                                    std::string& output) {
  if (format_.Test == nullptr) return TArchiver::Test(wnd, archiveName, output);
  if (format_.TestTakesSwitches)
    return Run(format_.Test, wnd, archiveName, TArchiverOptions(), "", nullptr, output);
  CommandLine = ArchiveCmdLine(format_.Test, archiveName);
  return RunCommand(wnd, output);
}

std::int32_t TLibraryArchiver::ReadMembers(const std::string& archiveName,
                                           const std::string& wildName,
                                           ArcMemberDataCallback callback, void* user,
                                           std::string& output) {
  if (format_.ReadEntry == nullptr)
    return TArchiver::ReadMembers(archiveName, wildName, callback, user, output);
  LibraryBinding& lib = Binding();
  lib.Load();
  const TProgressHook progress(lib, format_.ProgressEntry);
  return CallReadEntry(platform::GetProcAddress(lib.Handle(), format_.ReadEntry), lib.FileName(),
                       format_.ReadEntry, platform::ExpandFileName(archiveName), wildName, callback,
                       user, output);
}

std::int32_t TLibraryArchiver::RunCommand(ArcWnd wnd, std::string& output) {
  return RunCommandEntry(Binding(), format_.ProgressEntry, wnd, output);
}

std::string TLibraryArchiver::BuildCmdLine(const std::string& command,
                                           const std::string& archiveName,
                                           const TArchiverOptions& options,
                                           const std::string& baseDir,
                                           const platform::TStringList* fileList) const {
  return format_.MakeCmdLine(command, archiveName, options, baseDir, fileList);
}

std::int32_t TLibraryArchiver::Run(const char* command, ArcWnd wnd, const std::string& archiveName,
                                   const TArchiverOptions& options, const std::string& baseDir,
                                   const platform::TStringList* fileList, std::string& output) {
  CommandLine = BuildCmdLine(command, archiveName, options, baseDir, fileList);
  return RunCommand(wnd, output);
}

std::int32_t TLibraryArchiver::RunCommandEntry(LibraryBinding& lib, const char* progressEntry,
                                               ArcWnd wnd, std::string& output) {
  auto command = lib.EntryAs<ArcCommandProc>(listing::kCommand);
  const auto size = static_cast<std::uint32_t>(output.size());
  const TProgressHook progress(lib, progressEntry);
  return command(wnd, CommandLine.c_str(), size > 0 ? output.data() : nullptr, size);
}

void AddFlags(TCmdOpt& cmd, std::initializer_list<TFlag> flags) {
  for (const TFlag& flag : flags)
    if (flag.On) cmd.AddText(flag.Text);
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

std::string FlagCmdLine(const std::string& command, std::initializer_list<TFlag> flags,
                        const std::string& archiveName, const TArchiverOptions& options,
                        const std::string& baseDir, const platform::TStringList* fileList) {
  TCmdOpt cmd;
  AddFlags(cmd, flags);
  return FinishCmdLine(command, cmd, archiveName, options, baseDir, fileList);
}

std::string ArchiveCmdLine(const std::string& command, const std::string& archiveName) {
  TCmdOpt cmd;
  cmd.AddString("", archiveName);
  return command + cmd.Text;
}

}  // namespace pelsok
