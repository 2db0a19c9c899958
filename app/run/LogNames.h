// The file mask and archive name of one Compress run, formed from the
// folder P, kind K, year Y and month M texts as the user typed them.
#pragma once

#include <string>

namespace pelsok::app {

struct TLogNames {
  std::string Mask;         // e.g. /var/log/app/DR07*.log
  std::string ArchiveName;  // e.g. /var/log/app/DR9807.LZH
};

// Raises the conversion error when M is not an integer. A month outside
// 1 to 12 gives two empty names. In 6-digit mode both names carry no folder:
// they name files in the current folder. The archive name ends with
// extension, the chosen format's (".LZH" unless told).
TLogNames MakeLogNames(const std::string& folder, const std::string& kind, const std::string& year,
                       const std::string& month, bool sixDigit,
                       const std::string& extension = ".LZH");

}  // namespace pelsok::app
