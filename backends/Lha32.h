// The back end for LZH archives, driving "UNLHA32.DLL".
#pragma once

#include "backends/LibraryArchiver.h"

namespace pelsok {

class TLha32 : public TLibraryArchiver {
 public:
  // Loads the library; raises "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。" without it.
  TLha32();

  std::optional<std::uint64_t> OriginalSize64(ArcHandle handle) override;

  // The command line for a command letter; depends on nothing in the instance.
  static std::string MakeCmdLine(const std::string& command, const std::string& archiveName,
                                 const TArchiverOptions& options, const std::string& baseDir,
                                 const platform::TStringList* fileList);

  // The process-wide binding of UNLHA32.DLL (shared with IsLhaArchive).
  static LibraryBinding& Library();
  // The commands of UNLHA32.DLL.
  static const TLibraryFormat& Format();

 protected:
  // For a back end that builds LHA command lines and removes entries through
  // UNLHA32.DLL but binds a library of its own for the rest (format): loads
  // nothing, so the subclass's constructor runs its own LoadDll and
  // UNLHA32.DLL is loaded only when an inherited operation needs it.
  struct OwnLibrary {};
  explicit TLha32(OwnLibrary, const TLibraryFormat& format = Format()) : TLibraryArchiver(format) {}
};

// True when the library opens the file as an archive; never raises.
bool IsLhaArchive(const std::string& fileName);

}  // namespace pelsok
