#include "backends/Archiver.h"

#include "archivecore/EArchiver.h"

namespace pelsok {

ArcHandle TArchiver::OpenArchive(ArcWnd, const std::string&, std::uint32_t) { return 0; }

std::int32_t TArchiver::FindFirst(ArcHandle, TArchiveEntryInfo&, const std::string&) { return -1; }

std::int32_t TArchiver::FindNext(ArcHandle, TArchiveEntryInfo&) { return -1; }

std::int32_t TArchiver::CloseArchive(ArcHandle) { return 0; }

std::int32_t TArchiver::Pack(ArcWnd, const std::string&, const TArchiverOptions&,
                             const std::string&, const platform::TStringList*, std::string&) {
  throw EArchiver("この形式では書庫ファイルの作成をサポートしておりません。");
}

std::int32_t TArchiver::Remove(ArcWnd, const std::string&, const TArchiverOptions&,
                               const std::string&, const platform::TStringList*, std::string&) {
  throw EArchiver("この形式の書庫ではファイルの削除をサポートしておりません。");
}

std::int32_t TArchiver::MakeSfx(ArcWnd, const std::string&, const TArchiverOptions&, std::string&) {
  throw EArchiver("この形式では自己解凍書庫の作成をサポートしておりません。");
}

std::int32_t TArchiver::Test(ArcWnd, const std::string&, std::string&) {
  throw EArchiver("この形式では書庫の検査をサポートしておりません。");
}

std::int32_t TArchiver::ReadMembers(const std::string&, const std::string&, ArcMemberDataCallback,
                                    void*, std::string&) {
  throw EArchiver("この形式では書庫のメンバーの読み出しをサポートしておりません。");
}

std::int32_t CallReadEntry(void* entry, const std::string& libraryName, const char* entryName,
                           const std::string& archiveName, const std::string& wildName,
                           ArcMemberDataCallback callback, void* user, std::string& output) {
  if (entry == nullptr)
    throw EArchiver(libraryName + " には書庫のメンバーを読み出すエントリ " + entryName +
                    " がありません。");
  auto read = reinterpret_cast<ArcReadMembersProc>(entry);
  return read(archiveName.c_str(), wildName.c_str(), callback, user, output.data(),
              static_cast<std::uint32_t>(output.size()));
}

std::optional<std::uint64_t> TArchiver::OriginalSize64(ArcHandle) { return std::nullopt; }

}  // namespace pelsok
