// Extracts the files of an open cabinet below one folder through the shared
// safety rules; used by -x and by the self-extracting program.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Cabinet.h"

namespace cab {

struct ExtractionSummary {
  std::int32_t result = 0;  // an arc::Result
  std::size_t matched = 0;
  std::size_t written = 0;
  bool cancelled = false;
};

// line receives one report line per entry (names already made safe).
// Throws std::runtime_error when the base folder cannot be made.
ExtractionSummary ExtractCabinet(Cabinet& cabinet, const std::string& baseDir, bool withFolders,
                                 bool overwrite, const std::vector<std::string>& masks,
                                 const std::function<void(const std::string&)>& line);

}  // namespace cab
