// Extraction for the viewer: the chosen entries (or all) of an archive into
// a folder, with or without the folders their names store, by the
// library's safe-extraction rules (nothing lands outside the folder, a file
// appears only when written whole). What came out is found on disk
// afterwards, so the count and the refused names do not depend on the
// wording of the library's report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/run/ArchiveListing.h"
#include "archive/EntryTypes.h"

namespace pelsok::app {

struct TExtractRequest {
  std::string Folder;              // where the files go; made when missing
  std::vector<std::string> Names;  // stored names; empty: every entry
  bool WithFolders = true;         // false: every file lands in Folder itself
};

struct TExtractOutcome {
  std::int32_t Result = 0;  // the library's result
  std::string Report;       // the library's report
  bool Cancelled = false;
  std::vector<std::string> Extracted;  // stored names whose file was written
  // Names that would have been written outside the folder ("..", absolute).
  std::vector<std::string> Refused;
  // Other names that did not come out: damaged, not newer than the file
  // already there, a link, or a write error (the report says which).
  std::vector<std::string> NotExtracted;
};

// True when a stored name would reach outside the folder it is extracted to.
bool UnsafeStoredName(const std::string& name);

// The file a stored name becomes below folder (which ends with the delimiter).
std::string ExtractedPath(const std::string& folder, const std::string& name, bool withFolders);

// Raises an error when the folder cannot be made or written; the library's
// errors (damage, a missing library, cancel) come back in the outcome.
// Runs the library on the calling thread: progress and cancel go through
// the caller's TProgressScope.
TExtractOutcome ExtractMembers(const TArchiveListing& listing, const TExtractRequest& request,
                               ArcWnd wnd = nullptr);

// Why the folder cannot take the files, or "" when it can (made when missing).
std::string FolderProblem(const std::string& folder);

// The closing message of an extraction: "12 ファイルを /tmp/x/ に展開しました。"
// and, after it, the refused and the other names, one a line.
std::string ExtractSummary(const TExtractOutcome& outcome, const std::string& folder);

}  // namespace pelsok::app
