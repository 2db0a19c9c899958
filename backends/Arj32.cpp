#include "backends/Arj32.h"

#include "archivecore/CmdOpt.h"
#include "archivecore/EArchiver.h"
#include "backends/ListingCalls.h"
#include "platform/Paths.h"

namespace pelsok {

LibraryBinding& TArj32::Library() {
  static LibraryBinding binding(
      "UNARJ32J.DLL", "この機能の使用には UNARJ32J.DLL が 必要です。",
      {"Unarj", "UnarjOpenArchive", "UnarjCloseArchive", "UnarjFindFirst", "UnarjFindNext"});
  return binding;
}

TArj32::TArj32() : TLha32(OwnLibrary{}) { LoadDll(); }

std::int32_t TArj32::Unpack(ArcWnd /*wnd*/, const std::string& archiveName,
                            const TArchiverOptions& options, const std::string& baseDir,
                            const platform::TStringList* fileList, std::string& output) {
  CommandLine = MakeCmdLine("x", archiveName, options, baseDir, fileList);
  return RunCommand(output);
}

std::int32_t TArj32::Test(ArcWnd /*wnd*/, const std::string& archiveName, std::string& output) {
  CommandLine = ArchiveCmdLine("t", archiveName);
  return RunCommand(output);
}

std::int32_t TArj32::Pack(ArcWnd, const std::string&, const TArchiverOptions&, const std::string&,
                          const platform::TStringList*, std::string&) {
  throw EArchiver("お使いの UNARJ32J.DLL は書庫の作成機能をサポートしていません。");
}

std::int32_t TArj32::MakeSfx(ArcWnd, const std::string&, const TArchiverOptions&, std::string&) {
  throw EArchiver("お使いの UNARJ32J.DLL は自己解凍書庫の作成機能をサポートしていません。");
}

std::int32_t TArj32::RunCommand(std::string& output) {
  // The library gets no owner window.
  return RunCommandEntry(Library(), "UnarjSetProgressCallback", nullptr, output);
}

bool IsArjArchive(const std::string& fileName) {
  return listing::OpensAsArchive(TArj32::Library(), fileName);
}

}  // namespace pelsok
