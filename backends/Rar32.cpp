#include "backends/Rar32.h"

#include "archivecore/CmdOpt.h"
#include "backends/ListingCalls.h"
#include "platform/Paths.h"

namespace pelsok {

LibraryBinding& TRar32::Library() {
  static LibraryBinding binding =
      listing::Binding("UNRAR32.DLL", "この機能の使用には UNRAR32.DLL が 必要です。", "Unrar");
  return binding;
}

namespace {

// Extracts with "-e" when option x is exactly 0, else with "-x"; "-t"
// decodes every member and matches its CRC.
const TLibraryFormat kFormat{.Library = &TRar32::Library,
                             .ProgressEntry = "UnrarSetProgressCallback",
                             .MakeCmdLine = &TRar32::MakeCmdLine,
                             .Unpack = "-x",
                             .UnpackFlat = "-e",
                             .Test = "-t",
                             .ReadEntry = "UnrarReadMembers"};

}  // namespace

TRar32::TRar32() : TLibraryArchiver(kFormat) { LoadDll(); }

std::string TRar32::MakeCmdLine(const std::string& command, const std::string& archiveName,
                                const TArchiverOptions& o, const std::string& baseDir,
                                const platform::TStringList* fileList) {
  return FlagCmdLine(command, {{o.c < 1, "-u"}, {o.m > 0, "-y"}, {o.p > 0, "-s"}}, archiveName, o,
                     baseDir, fileList);
}

bool IsRarArchive(const std::string& fileName) {
  return listing::OpensAsArchive(TRar32::Library(), fileName);
}

}  // namespace pelsok
