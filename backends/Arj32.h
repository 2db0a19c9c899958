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

  // Command "x" through "Unarj", always with window handle 0.
  // Every member decodes and matches its CRC (the library's test command).
  std::int32_t Test(ArcWnd wnd, const std::string& archiveName, std::string& output) override;
  std::int32_t Unpack(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                      const std::string& baseDir, const platform::TStringList* fileList,
                      std::string& output) override;
  std::int32_t Pack(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                    const std::string& baseDir, const platform::TStringList* fileList,
                    std::string& output) override;
  std::int32_t MakeSfx(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                       std::string& output) override;
  // Remove is the LHA back end's: command "d" through "UNLHA32.DLL".

  // Calls "Unarj" with window handle 0, CommandLine and the output buffer.
  // (It hides the LHA runner on purpose: the inherited Remove still calls
  // that one, and so "UNLHA32.DLL".)
  std::int32_t RunCommand(std::string& output);

  // The process-wide binding of UNARJ32J.DLL (shared with IsArjArchive).
  static LibraryBinding& Library();

 protected:
  LibraryBinding& Binding() override { return Library(); }
};

// True when UNARJ32J.DLL opens the file as an archive; never raises.
bool IsArjArchive(const std::string& fileName);

}  // namespace pelsok
