// The back end for ARJ archives: lists and extracts through "UNARJ32J.DLL"
// with the LHA back end's command line, and removes entries through the LHA
// back end's "UNLHA32.DLL". Creating archives is refused.
#pragma once

#include "backends/Lha32.h"
#include "backends/LibraryBinding.h"

namespace pelsok {

class TArj32 : public TLha32 {
 public:
  // Loads "UNARJ32J.DLL" (not "UNLHA32.DLL"); raises
  // "この機能の使用には UNARJ32J.DLL が 必要です。" without it.
  TArj32();

  // Through "UNLHA32.DLL", as the LHA back end removes: command "d".
  std::int32_t Remove(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                      const std::string& baseDir, const platform::TStringList* fileList,
                      std::string& output) override;
  // Through "Unarj", always with window handle 0.
  std::int32_t RunCommand(ArcWnd wnd, std::string& output) override;

  // The process-wide binding of UNARJ32J.DLL (shared with IsArjArchive).
  static LibraryBinding& Library();
};

// True when UNARJ32J.DLL opens the file as an archive; never raises.
bool IsArjArchive(const std::string& fileName);

}  // namespace pelsok
