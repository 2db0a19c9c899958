// Extracts LZH members through the shared safe extractor: the member's
// header gives the name, kind, time and mode, and its data is decoded into
// the temporary file with its CRC checked.
#pragma once

#include <string>

#include "ArchiveReader.h"
#include "common/SafeExtractor.h"

namespace lzh {

struct ExtractOptions {
  bool withFolders = true;       // false: every file lands in the base folder itself
  bool overwriteAlways = false;  // false: an existing file is replaced only by a newer member
};

using arc::ExtractOutcome;
using arc::ExtractReport;
using arc::MakeFolders;

class SafeExtractor {
 public:
  // Opens (creating when missing) the base folder; throws FileError.
  SafeExtractor(const std::string& baseDir, ExtractOptions options);

  ExtractReport Extract(int archiveFd, const std::string& archiveName, const ArchiveMember& m);

 private:
  static arc::SafeExtractor Open(const std::string& baseDir, ExtractOptions options);
  arc::SafeExtractor extractor_;
};

}  // namespace lzh
