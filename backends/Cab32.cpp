#include "backends/Cab32.h"

#include "archivecore/CmdOpt.h"
#include "backends/ListingCalls.h"
#include "platform/Paths.h"

namespace pelsok {

LibraryBinding& TCab32::Library() {
  static LibraryBinding binding =
      listing::Binding("CAB32.DLL", "CAB 形式書庫を扱うには CAB32.DLL が 必要です。", "Cab");
  return binding;
}

namespace {

// The only command that names the archive by its full path is "-x"; "-t"
// decodes every file without writing it.
const TLibraryFormat kFormat{.Library = &TCab32::Library,
                             .ProgressEntry = "CabSetProgressCallback",
                             .MakeCmdLine = &TCab32::MakeCmdLine,
                             .Unpack = "-x",
                             .UnpackByFullPath = true,
                             .Pack = "-a",
                             .MakeSfx = "-f",
                             .Test = "-t",
                             .ReadEntry = "CabReadMembers"};

}  // namespace

TCab32::TCab32() : TLibraryArchiver(kFormat) { LoadDll(); }

std::string TCab32::MakeCmdLine(const std::string& command, const std::string& archiveName,
                                const TArchiverOptions& o, const std::string& baseDir,
                                const platform::TStringList* fileList) {
  return FlagCmdLine(command,
                     {{o.c == 1, "-o"}, {o.n == 1, "-i"}, {o.r > 0, "-r"}, {o.x == 0, "-j"}},
                     archiveName, o, baseDir, fileList);
}

bool IsCabArchive(const std::string& fileName) {
  return listing::OpensAsArchive(TCab32::Library(), fileName);
}

}  // namespace pelsok
