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

std::optional<std::uint64_t> TArchiver::OriginalSize64(ArcHandle) { return std::nullopt; }

}  // namespace pelsok
