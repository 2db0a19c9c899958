#include "backends/Cab32.h"

#include "archivecore/CmdOpt.h"
#include "backends/ListingCalls.h"
#include "platform/Paths.h"

namespace pelsok {

LibraryBinding& TCab32::Library() {
  static LibraryBinding binding(
      "CAB32.DLL", "CAB 形式書庫を扱うには CAB32.DLL が 必要です。",
      {"Cab", "CabOpenArchive", "CabCloseArchive", "CabFindFirst", "CabFindNext"});
  return binding;
}

TCab32::TCab32() { LoadDll(); }

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
  return FinishCmdLine(command, cmd, archiveName, o, baseDir, fileList);
}

std::int32_t TCab32::RunCommand(ArcWnd wnd, std::string& output) {
  return RunCommandEntry(Library(), "CabSetProgressCallback", wnd, output);
}

bool IsCabArchive(const std::string& fileName) {
  return listing::OpensAsArchive(TCab32::Library(), fileName);
}

}  // namespace pelsok
