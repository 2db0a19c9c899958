// The back end for RAR archives, driving "UNRAR32.DLL". It lists and
// extracts; creating archives, removing entries and self-extracting
// archives keep the base class's refusals.
#pragma once

#include "backends/LibraryArchiver.h"

namespace pelsok {

class TRar32 : public TLibraryArchiver {
 public:
  // Loads the library; raises "この機能の使用には UNRAR32.DLL が 必要です。" without it.
  TRar32();

  // The command line for a command; depends on nothing in the instance.
  static std::string MakeCmdLine(const std::string& command, const std::string& archiveName,
                                 const TArchiverOptions& options, const std::string& baseDir,
                                 const platform::TStringList* fileList);

  // The process-wide binding of UNRAR32.DLL (shared with IsRarArchive).
  static LibraryBinding& Library();
};

// True when the library opens the file as a RAR archive; never raises.
bool IsRarArchive(const std::string& fileName);

}  // namespace pelsok
