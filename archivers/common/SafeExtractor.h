// Writes archive members below one base folder and never outside it.
// Every archiver library we ship extracts through this, so the rules are
// the same for every format:
// - ".." parts are refused; an absolute name ("/a/b", "\a\b", "C:\a") is
//   refused, or with stripAbsolute lands below the base folder with its
//   root removed (the report then warns);
// - no symbolic link is followed: a folder on the way that is a link
//   refuses the member; a file standing where a folder must be is a write
//   error;
// - symbolic links are created only with linksInside and only when they
//   point inside the base folder, and never through another link (a link
//   whose target passes through a link, existing or made later, is refused,
//   and so is a link made where an earlier link's target passes); hard
//   links only to a file already extracted inside it; devices, FIFOs and
//   sockets are never created;
// - a file appears under its name only when its data was written whole
//   (a temporary file renamed into place); set-user-ID, set-group-ID and
//   sticky bits are dropped;
// - an existing file is replaced only by a member strictly newer than it,
//   unless overwriteAlways; a name this extractor already wrote is
//   replaced by any later member of that name (the last copy wins).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace arc {

enum class EntryKind { file, folder, symlink, hardlink, special };

struct EntryToExtract {
  std::string name;  // path inside the archive, UTF-8, parts between '/' (or '\', see below)
  EntryKind kind = EntryKind::file;
  std::int64_t mtime = 0;                 // seconds since 1970, UTC
  std::optional<std::uint32_t> unixMode;  // permission bits stored with the member
  bool readOnly = false;                  // the MS-DOS read-only attribute (used without unixMode)
  std::string linkTarget;                 // symlink: as stored; hardlink: a name inside the archive
};

struct ExtractRules {
  bool withFolders = true;         // false: every file lands in the base folder itself
  bool overwriteAlways = false;    // false: an existing file is replaced only by a newer member
  bool stripAbsolute = false;      // true: absolute names land below the base folder
  bool linksInside = false;        // true: create links that stay inside the base folder
  bool backslashSeparates = true;  // '\' separates parts as '/' does
};

enum class ExtractOutcome {
  written,          // the file, folder or link now exists with the member's data
  skippedNotNewer,  // an existing file is as new as the member or newer
  refusedUnsafe,    // "..", an absolute name, or a folder on the way is a link
  skippedLink,      // a link or a special file that is not created
  failed,           // the data could not be read or the file could not be written
};

struct ExtractReport {
  ExtractOutcome outcome = ExtractOutcome::failed;
  std::string message;   // why, for the report (names in it are not yet made safe)
  bool damaged = false;  // failed because the member's data is damaged (not a write error)
  bool warning = false;  // written, but with a remark (an absolute name made relative)
};

// What the caller's data writer says after it wrote a member's data to fd.
struct DataResult {
  bool ok = true;
  bool damaged = false;  // the archive's data is bad (CRC, truncation), not the disk
  std::string message;
};
using DataWriter = std::function<DataResult(int fd)>;

// A member's name split into parts, as the extractor sees it.
struct SplitName {
  std::vector<std::string> parts;  // "." and empty parts removed
  bool absolute = false;
  bool hasParent = false;
};
SplitName SplitEntryName(const std::string& name, bool backslashSeparates);

class SafeExtractor {
 public:
  // Opens the base folder, creating it (and its parents) when missing;
  // throws std::runtime_error with the reason.
  SafeExtractor(const std::string& baseDir, ExtractRules rules);
  ~SafeExtractor();
  SafeExtractor(const SafeExtractor&) = delete;
  SafeExtractor& operator=(const SafeExtractor&) = delete;

  // Extracts one member; write is called only for files, with a temporary
  // file's descriptor, and must write the member's whole data to it.
  ExtractReport Extract(const EntryToExtract& entry, const DataWriter& write);

  const ExtractRules& Rules() const { return rules_; }

 private:
  // Why a link at folders/<name> pointing at target would lead outside or
  // through a link; empty when it may be made. Records the paths it passes.
  std::string LinkRefusal(const std::vector<std::string>& folders, const std::string& name,
                          const std::string& target);

  int baseFd_ = -1;
  ExtractRules rules_;
  std::set<std::string>
      passedByLinks_;              // paths (below the base) a made link's target walks through
  std::set<std::string> written_;  // paths this extractor wrote
};

// Creates a folder and its missing parents (like mkdir -p); false on failure.
bool MakeFolders(const std::string& path);

}  // namespace arc
