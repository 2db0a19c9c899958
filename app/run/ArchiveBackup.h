// Keeps an existing archive safe while a run rebuilds it: the old archive is
// moved aside first and goes back in place unless the run commits to the
// new one. Nothing is lost when packing fails, the library is missing or no
// file matched.
#pragma once

#include <optional>
#include <string>

#include "platform/FileSystem.h"

namespace pelsok::app {

class TArchiveBackup {
 public:
  // Moves an existing archive aside; raises EFileError when it cannot.
  explicit TArchiveBackup(std::string archiveName);
  // Puts the old archive back when neither Commit nor Restore ran.
  ~TArchiveBackup();
  TArchiveBackup(const TArchiveBackup&) = delete;
  TArchiveBackup& operator=(const TArchiveBackup&) = delete;

  bool HasOldArchive() const { return !asideName_.empty(); }
  const std::string& AsideName() const { return asideName_; }

  // What stands under the archive name now is this run's new archive: only
  // that file may be removed by Restore.
  void MarkWritten();
  // The new archive is in place: drop the old one.
  void Commit();
  // Both stay: the old archive keeps its aside name (it holds files the new
  // one lacks).
  void Keep() { done_ = true; }
  // The new archive is not wanted: remove what this run wrote under the
  // archive name (never a file it did not write) and put the old one back.
  // Raises EFileError when the old archive cannot go back (it then stays
  // under AsideName()).
  void Restore();

 private:
  std::string archiveName_;
  std::string asideName_;
  std::optional<platform::TFileIdentity> written_;
  bool done_ = false;
};

}  // namespace pelsok::app
