#include "backends/Arj32.h"

#include "archivecore/EArchiver.h"
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
  auto open = Library().EntryAs<ArcOpenProc>(kOpen);
  return open(wnd, platform::ExpandFileName(archiveName).c_str(), mode);
}

std::int32_t TArj32::FindFirst(ArcHandle handle, TArchiveEntryInfo& info,
                               const std::string& wildName) {
  auto findFirst = Library().EntryAs<ArcFindFirstProc>(kFindFirst);
  return findFirst(handle, wildName.c_str(), &info);
}

std::int32_t TArj32::FindNext(ArcHandle handle, TArchiveEntryInfo& info) {
  // Only ever follows FindFirst, so the library is loaded already.
  auto findNext = Library().EntryAs<ArcFindNextProc>(kFindNext, true);
  return findNext(handle, &info);
}

std::int32_t TArj32::CloseArchive(ArcHandle handle) {
  auto close = Library().EntryAs<ArcCloseProc>(kClose);
  return close(handle);
}

std::int32_t TArj32::Unpack(ArcWnd /*wnd*/, const std::string& archiveName,
                            const TArchiverOptions& options, const std::string& baseDir,
                            const platform::TStringList* fileList, std::string& output) {
  CommandLine = MakeCmdLine("x", archiveName, options, baseDir, fileList);
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
  // The library gets no owner window.
  return unarj(nullptr, CommandLine.c_str(), size > 0 ? output.data() : nullptr, size);
}

bool IsArjArchive(const std::string& fileName) {
  try {
    LibraryBinding& lib = TArj32::Library();
    lib.Load();
    auto open = lib.EntryAs<ArcOpenProc>(kOpen);
    const ArcHandle h =
        open(nullptr, platform::ExpandFileName(fileName).c_str(), kContentCheckOpenMode);
    if (h != 0) lib.EntryAs<ArcCloseProc>(kClose)(h);
    return h != 0;
  } catch (...) {
    return false;
  }
}

}  // namespace pelsok
