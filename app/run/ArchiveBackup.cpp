#include "app/run/ArchiveBackup.h"

#include "platform/Exceptions.h"
#include "platform/FileSystem.h"

namespace pelsok::app {
namespace {

// A name beside the archive that nothing else uses and no log mask matches.
std::string FreeAsideName(const std::string& archive) {
  std::string name = archive + ".old";
  for (int i = 1; platform::GetFileAttributes(name).has_value(); ++i)
    name = archive + ".old" + std::to_string(i);
  return name;
}

}  // namespace

TArchiveBackup::TArchiveBackup(std::string archiveName) : archiveName_(std::move(archiveName)) {
  if (archiveName_.empty() || !platform::FileExists(archiveName_)) return;
  const std::string aside = FreeAsideName(archiveName_);
  if (!platform::RenameFile(archiveName_, aside))
    throw platform::EFileError(platform::FormatText("書庫 '%s' を退避できません", {archiveName_}));
  asideName_ = aside;
}

TArchiveBackup::~TArchiveBackup() {
  if (done_ || asideName_.empty()) return;
  try {
    Restore();
  } catch (...) {
    // The old archive stays under its aside name; nothing is lost.
  }
}

void TArchiveBackup::MarkWritten() { written_ = platform::FileIdentity(archiveName_); }

void TArchiveBackup::Commit() {
  done_ = true;
  if (!asideName_.empty()) platform::DeleteFile(asideName_);
}

void TArchiveBackup::Restore() {
  done_ = true;
  if (asideName_.empty()) return;
  const auto standing = platform::FileIdentity(archiveName_);
  if (standing && written_ && *standing == *written_) platform::DeleteFile(archiveName_);
  if (platform::FileIdentity(archiveName_) || !platform::RenameFile(asideName_, archiveName_))
    throw platform::EFileError(
        platform::FormatText("元の書庫を戻せません。'%s' に残っています", {asideName_}));
  asideName_.clear();
}

}  // namespace pelsok::app
