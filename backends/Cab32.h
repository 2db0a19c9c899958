// The back end for CAB archives, driving "CAB32.DLL". It lists, extracts,
// creates and makes self-extracting cabinets; removing entries keeps the
// base class's refusal.
#pragma once

#include "backends/Archiver.h"
#include "backends/LibraryBinding.h"

namespace pelsok {

class TCab32 : public TArchiver {
 public:
  // Loads the library; raises "CAB 形式書庫を扱うには CAB32.DLL が 必要です。" without it.
  TCab32();

  void LoadDll() override;
  void UnloadDll() override;
  ArcHandle OpenArchive(ArcWnd wnd, const std::string& archiveName, std::uint32_t mode) override;
  std::int32_t FindFirst(ArcHandle handle, TArchiveEntryInfo& info,
                         const std::string& wildName) override;
  std::int32_t FindNext(ArcHandle handle, TArchiveEntryInfo& info) override;
  std::int32_t CloseArchive(ArcHandle handle) override;
  std::int32_t Unpack(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                      const std::string& baseDir, const platform::TStringList* fileList,
                      std::string& output) override;
  std::int32_t Pack(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                    const std::string& baseDir, const platform::TStringList* fileList,
                    std::string& output) override;
  std::int32_t MakeSfx(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                       std::string& output) override;

  // The command line for a command ("-x", "-a", "-f"); depends on nothing in
  // the instance.
  static std::string MakeCmdLine(const std::string& command, const std::string& archiveName,
                                 const TArchiverOptions& options, const std::string& baseDir,
                                 const platform::TStringList* fileList);
  std::int32_t RunCommand(ArcWnd wnd, std::string& output);

  // The process-wide binding of CAB32.DLL (shared with IsCabArchive).
  static LibraryBinding& Library();
};

// True when the library opens the file as a cabinet; never raises.
bool IsCabArchive(const std::string& fileName);

}  // namespace pelsok
