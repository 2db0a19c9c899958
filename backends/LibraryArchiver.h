// The base of the back ends that drive one archiver library through the
// same entries: its binding lists the command entry first, then the open,
// close, find-first and find-next entries (ListingCalls.h). The library is
// loaded and listed through Binding(); a subclass names its binding and
// overrides only the commands it has.
#pragma once

#include <cstdint>
#include <string>

#include "archivecore/ArchiverOptions.h"
#include "archivecore/CmdOpt.h"
#include "backends/Archiver.h"
#include "backends/LibraryBinding.h"

namespace pelsok {

class TLibraryArchiver : public TArchiver {
 public:
  void LoadDll() override;
  void UnloadDll() override;
  ArcHandle OpenArchive(ArcWnd wnd, const std::string& archiveName, std::uint32_t mode) override;
  std::int32_t FindFirst(ArcHandle handle, TArchiveEntryInfo& info,
                         const std::string& wildName) override;
  std::int32_t FindNext(ArcHandle handle, TArchiveEntryInfo& info) override;
  std::int32_t CloseArchive(ArcHandle handle) override;

 protected:
  TLibraryArchiver() = default;
  // The binding the listing slots go through.
  virtual LibraryBinding& Binding() = 0;

  // Calls lib's command entry with wnd, CommandLine and the output buffer,
  // under a progress scope of the entry named progressEntry.
  std::int32_t RunCommandEntry(LibraryBinding& lib, const char* progressEntry, ArcWnd wnd,
                               std::string& output);
};

// The tail every command line ends with: the user's options, the archive,
// the base folder, the files and the user's file list, after command and
// the switches already in cmd.
std::string FinishCmdLine(const std::string& command, TCmdOpt& cmd, const std::string& archiveName,
                          const TArchiverOptions& options, const std::string& baseDir,
                          const platform::TStringList* fileList);
// command followed by the archive alone ("-t archive").
std::string ArchiveCmdLine(const std::string& command, const std::string& archiveName);

}  // namespace pelsok
