#include "backends/Arj32.h"

#include "archivecore/CmdOpt.h"
#include "archivecore/EArchiver.h"
#include "backends/ListingCalls.h"
#include "backends/ProgressHook.h"
#include "platform/Paths.h"

namespace pelsok {

namespace {

enum Entry : std::size_t { kUnarj, kOpen, kClose, kFindFirst, kFindNext };

}  // namespace

LibraryBinding& TArj32::Library() {
  static LibraryBinding binding(
      "UNARJ32J.DLL", "この機能の使用には UNARJ32J.DLL が 必要です。",
      {"Unarj", "UnarjOpenArchive", "UnarjCloseArchive", "UnarjFindFirst", "UnarjFindNext"});
  return binding;
}

TArj32::TArj32() : TLha32(OwnLibrary{}) { TArj32::LoadDll(); }

void TArj32::LoadDll() { Library().Load(); }

void TArj32::UnloadDll() { Library().Unload(); }

ArcHandle TArj32::OpenArchive(ArcWnd wnd, const std::string& archiveName, std::uint32_t mode) {
  return listing::Open(Library(), wnd, archiveName, mode);
}

std::int32_t TArj32::FindFirst(ArcHandle handle, TArchiveEntryInfo& info,
                               const std::string& wildName) {
  return listing::FindFirst(Library(), handle, info, wildName);
}

std::int32_t TArj32::FindNext(ArcHandle handle, TArchiveEntryInfo& info) {
  return listing::FindNext(Library(), handle, info);
}

std::int32_t TArj32::CloseArchive(ArcHandle handle) { return listing::Close(Library(), handle); }

std::int32_t TArj32::Unpack(ArcWnd /*wnd*/, const std::string& archiveName,
                            const TArchiverOptions& options, const std::string& baseDir,
                            const platform::TStringList* fileList, std::string& output) {
  CommandLine = MakeCmdLine("x", archiveName, options, baseDir, fileList);
  return RunCommand(output);
}

std::int32_t TArj32::Test(ArcWnd /*wnd*/, const std::string& archiveName, std::string& output) {
  TCmdOpt cmd;
  cmd.AddString("", archiveName);
  CommandLine = "t" + cmd.Text;
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
  auto unarj = Library().EntryAs<ArcCommandProc>(kUnarj);
  const auto size = static_cast<std::uint32_t>(output.size());
  const TProgressHook progress(Library(), "UnarjSetProgressCallback");
  // The library gets no owner window.
  return unarj(nullptr, CommandLine.c_str(), size > 0 ? output.data() : nullptr, size);
}

bool IsArjArchive(const std::string& fileName) {
  return listing::OpensAsArchive(TArj32::Library(), fileName);
}

}  // namespace pelsok
