#include "backends/Rar32.h"

#include "archivecore/CmdOpt.h"
#include "backends/ListingCalls.h"
#include "platform/Paths.h"

namespace pelsok {

LibraryBinding& TRar32::Library() {
  static LibraryBinding binding(
      "UNRAR32.DLL", "この機能の使用には UNRAR32.DLL が 必要です。",
      {"Unrar", "UnrarOpenArchive", "UnrarCloseArchive", "UnrarFindFirst", "UnrarFindNext"});
  return binding;
}

TRar32::TRar32() { LoadDll(); }

std::int32_t TRar32::Unpack(ArcWnd wnd, const std::string& archiveName,
                            const TArchiverOptions& options, const std::string& baseDir,
                            const platform::TStringList* fileList, std::string& output) {
  const std::string command = options.x == 0 ? "-e" : "-x";
  CommandLine = MakeCmdLine(command, archiveName, options, baseDir, fileList);
  return RunCommand(wnd, output);
}

std::int32_t TRar32::Test(ArcWnd wnd, const std::string& archiveName, std::string& output) {
  CommandLine = ArchiveCmdLine("-t", archiveName);
  return RunCommand(wnd, output);
}

std::string TRar32::MakeCmdLine(const std::string& command, const std::string& archiveName,
                                const TArchiverOptions& o, const std::string& baseDir,
                                const platform::TStringList* fileList) {
  TCmdOpt cmd;
  if (o.c < 1) cmd.AddText("-u");
  if (o.m > 0) cmd.AddText("-y");
  if (o.p > 0) cmd.AddText("-s");
  return FinishCmdLine(command, cmd, archiveName, o, baseDir, fileList);
}

std::int32_t TRar32::RunCommand(ArcWnd wnd, std::string& output) {
  return RunCommandEntry(Library(), "UnrarSetProgressCallback", wnd, output);
}

bool IsRarArchive(const std::string& fileName) {
  return listing::OpensAsArchive(TRar32::Library(), fileName);
}

}  // namespace pelsok
