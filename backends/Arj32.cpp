#include "backends/Arj32.h"

#include "archivecore/CmdOpt.h"
#include "backends/ListingCalls.h"
#include "platform/Paths.h"

namespace pelsok {

LibraryBinding& TArj32::Library() {
  static LibraryBinding binding =
      listing::Binding("UNARJ32J.DLL", "この機能の使用には UNARJ32J.DLL が 必要です。", "Unarj");
  return binding;
}

namespace {

// The LHA back end's command lines; "t" decodes every member and matches
// its CRC. Creating archives is refused.
const TLibraryFormat kFormat{
    .Library = &TArj32::Library,
    .ProgressEntry = "UnarjSetProgressCallback",
    .MakeCmdLine = &TLha32::MakeCmdLine,
    .Unpack = "x",
    .NoPack = "お使いの UNARJ32J.DLL は書庫の作成機能をサポートしていません。",
    .NoSfx = "お使いの UNARJ32J.DLL は自己解凍書庫の作成機能をサポートしていません。",
    .Test = "t",
    .ReadEntry = "UnarjReadMembers"};

}  // namespace

TArj32::TArj32() : TLha32(OwnLibrary{}, kFormat) { LoadDll(); }

std::int32_t TArj32::Remove(ArcWnd wnd, const std::string& archiveName,
                            const TArchiverOptions& options, const std::string& /*baseDir*/,
                            const platform::TStringList* fileList, std::string& output) {
  CommandLine = MakeCmdLine("d", archiveName, options, "", fileList);
  return RunCommandEntry(TLha32::Library(), TLha32::Format().ProgressEntry, wnd, output);
}

std::int32_t TArj32::RunCommand(ArcWnd /*wnd*/, std::string& output) {
  // The library gets no owner window.
  return TLha32::RunCommand(nullptr, output);
}

bool IsArjArchive(const std::string& fileName) {
  return listing::OpensAsArchive(TArj32::Library(), fileName);
}

}  // namespace pelsok
