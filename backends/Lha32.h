// The back end for LZH archives, driving "UNLHA32.DLL".
#pragma once

#include "backends/LibraryArchiver.h"

namespace pelsok {

class TLha32 : public TLibraryArchiver {
 public:
  // Loads the library; raises "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。" without it.
  TLha32();

  std::int32_t Unpack(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                      const std::string& baseDir, const platform::TStringList* fileList,
                      std::string& output) override;
  std::int32_t Pack(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                    const std::string& baseDir, const platform::TStringList* fileList,
                    std::string& output) override;
  std::int32_t Remove(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                      const std::string& baseDir, const platform::TStringList* fileList,
                      std::string& output) override;
  std::int32_t MakeSfx(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                       std::string& output) override;

  std::int32_t Test(ArcWnd wnd, const std::string& archiveName, std::string& output) override;
  std::optional<std::uint64_t> OriginalSize64(ArcHandle handle) override;

  // The command line for a command letter; depends on nothing in the instance.
  static std::string MakeCmdLine(const std::string& command, const std::string& archiveName,
                                 const TArchiverOptions& options, const std::string& baseDir,
                                 const platform::TStringList* fileList);
  std::int32_t RunCommand(ArcWnd wnd, std::string& output);

  // The process-wide binding of UNLHA32.DLL (shared with IsLhaArchive).
  static LibraryBinding& Library();

 protected:
  LibraryBinding& Binding() override { return Library(); }

 protected:
  // For a back end that builds LHA command lines and removes entries through
  // UNLHA32.DLL but binds a library of its own for the rest: loads nothing,
  // so the subclass's constructor runs its own LoadDll and UNLHA32.DLL is
  // loaded only when an inherited operation needs it.
  struct OwnLibrary {};
  explicit TLha32(OwnLibrary) {}
};

// True when the library opens the file as an archive; never raises.
bool IsLhaArchive(const std::string& fileName);

}  // namespace pelsok
