// Writes members below one base folder and never outside it: absolute names
// and ".." parts are refused, no symbolic link is followed or created, and a
// file appears under its name only when its data decoded with a good CRC.
#pragma once

#include <string>

#include "ArchiveReader.h"

namespace lzh {

struct ExtractOptions {
  bool withFolders = true;       // false: every file lands in the base folder itself
  bool overwriteAlways = false;  // false: an existing file is replaced only by a newer member
};

enum class ExtractOutcome {
  written,          // the file (or folder) now exists with the member's data
  skippedNotNewer,  // an existing file is as new as the member or newer
  refusedUnsafe,    // absolute name, "..", or a folder on the way is a link
  skippedLink,      // the member is a symbolic link: never created
  failed,           // data damaged, method unknown, or the file could not be written
};

struct ExtractReport {
  ExtractOutcome outcome = ExtractOutcome::failed;
  std::string message;
  bool damaged = false;  // failed because the member's data is damaged (not a write error)
};

class SafeExtractor {
 public:
  // Opens (creating when missing) the base folder; throws FileError.
  SafeExtractor(const std::string& baseDir, ExtractOptions options);
  ~SafeExtractor();
  SafeExtractor(const SafeExtractor&) = delete;
  SafeExtractor& operator=(const SafeExtractor&) = delete;

  ExtractReport Extract(int archiveFd, const std::string& archiveName, const ArchiveMember& m);

 private:
  int baseFd_ = -1;
  ExtractOptions options_;
};

// Creates a folder and its missing parents (like mkdir -p); false on failure.
bool MakeFolders(const std::string& path);

}  // namespace lzh
