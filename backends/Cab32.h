// The back end for CAB archives, driving "CAB32.DLL". It lists, extracts,
// creates and makes self-extracting cabinets; removing entries keeps the
// base class's refusal.
#pragma once

#include "backends/LibraryArchiver.h"

namespace pelsok {

class TCab32 : public TLibraryArchiver {
 public:
  // Loads the library; raises "CAB 形式書庫を扱うには CAB32.DLL が 必要です。" without it.
  TCab32();

  // The command line for a command ("-x", "-a", "-f"); depends on nothing in
  // the instance.
  static std::string MakeCmdLine(const std::string& command, const std::string& archiveName,
                                 const TArchiverOptions& options, const std::string& baseDir,
                                 const platform::TStringList* fileList);

  // The process-wide binding of CAB32.DLL (shared with IsCabArchive).
  static LibraryBinding& Library();
};

// True when the library opens the file as a cabinet; never raises.
bool IsCabArchive(const std::string& fileName);

}  // namespace pelsok
