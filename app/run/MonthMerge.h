// A month stays in one archive when it is packed again (late logs, a
// catch-up run after some logs were deleted): the old archive's members
// whose logs are gone are put back beside the logs for the new archive to
// pack with them, and removed again when the run ends. A log that is there
// and newer than its member replaces it; one that is older gives way to the
// member for this run. The new archive replaces the old one only after it
// passed the check made before deletion.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "archive/EntryTypes.h"
#include "archivecore/ArchiverType.h"
#include "platform/FileSystem.h"

namespace pelsok::app {

class TMonthMerge {
 public:
  // oldArchive: where the old archive of archive was moved aside; mask:
  // the run's. Nothing is put back when the old archive cannot be extracted
  // whole. Under the run's lock, what a killed run left is put right first:
  // its extraction folder goes, a log it moved out of the way comes back.
  TMonthMerge(const std::string& archive, const std::string& oldArchive, TArchiverType type,
              const std::string& mask, ArcWnd wnd);
  // Removes each file put back that is still what was written, and puts
  // back the logs that gave way.
  ~TMonthMerge();
  TMonthMerge(const TMonthMerge&) = delete;
  TMonthMerge& operator=(const TMonthMerge&) = delete;

  // Some member was put back: the new archive must pass its check before
  // it replaces the old one.
  bool Merging() const { return !restored_.empty(); }
  // The old archive could not be extracted: it stays aside when it holds
  // more than the new one, as before.
  bool Unreadable() const { return unreadable_; }

 private:
  struct TRestored {
    std::string Path;
    platform::TFileIdentity Written;
    std::string LogAside;  // the older log moved out of the way; empty if none
  };
  static constexpr const char* kOlderSuffix = ".pelsok-older";
  std::vector<TRestored> restored_;
  bool unreadable_ = false;
};

}  // namespace pelsok::app
