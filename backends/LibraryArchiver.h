// The base of the back ends that drive one archiver library through the
// same entries: its binding lists the command entry first, then the open,
// close, find-first and find-next entries (ListingCalls.h). The base lists,
// and runs the operations itself from the format's table (TLibraryFormat):
// its command letters, its command-line builder and its library. A subclass
// names its table and overrides only what its format does otherwise.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "archivecore/ArchiverOptions.h"
#include "archivecore/CmdOpt.h"
#include "backends/Archiver.h"
#include "backends/LibraryBinding.h"

namespace pelsok {

// A format's command line: the command, the format's switches for the
// options, the archive, the base folder and the files.
using CmdLineMaker = std::string (*)(const std::string& command, const std::string& archiveName,
                                     const TArchiverOptions& options, const std::string& baseDir,
                                     const platform::TStringList* fileList);

// What a format's library is told for each operation. A command left
// nullptr keeps TArchiver's refusal, or raises the format's own text where
// one is given.
struct TLibraryFormat {
  LibraryBinding& (*Library)();
  // The optional entry that registers the progress listener for a command.
  const char* ProgressEntry;
  CmdLineMaker MakeCmdLine;
  // Every format extracts.
  const char* Unpack = nullptr;
  // Extracts instead of Unpack when option x is 0 (no folders).
  const char* UnpackFlat = nullptr;
  // Unpack names the archive by its full path.
  bool UnpackByFullPath = false;
  const char* Pack = nullptr;
  const char* NoPack = nullptr;
  const char* Remove = nullptr;
  const char* MakeSfx = nullptr;
  const char* NoSfx = nullptr;
  const char* Test = nullptr;
  // The test line is the full command line for the default options, not
  // the command and the archive alone.
  bool TestTakesSwitches = false;
  // The optional read entry ("UnlhaReadMembers"); null: the format reads none.
  const char* ReadEntry = nullptr;
};

class TLibraryArchiver : public TArchiver {
 public:
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
  std::int32_t Remove(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                      const std::string& baseDir, const platform::TStringList* fileList,
                      std::string& output) override;
  std::int32_t MakeSfx(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                       std::string& output) override;
  std::int32_t Test(ArcWnd wnd, const std::string& archiveName, std::string& output) override;
  std::int32_t ReadMembers(const std::string& archiveName, const std::string& wildName,
                           ArcMemberDataCallback callback, void* user,
                           std::string& output) override;

  // Hands CommandLine to the library's command entry with wnd and the
  // output buffer, under the format's progress hook.
  virtual std::int32_t RunCommand(ArcWnd wnd, std::string& output);

 protected:
  // format lives as long as the process (a table of the subclass's unit).
  explicit TLibraryArchiver(const TLibraryFormat& format) : format_(format) {}
  // The binding the listing slots and the commands go through.
  LibraryBinding& Binding() const { return format_.Library(); }

  // The command line for command; the format's builder unless overridden.
  virtual std::string BuildCmdLine(const std::string& command, const std::string& archiveName,
                                   const TArchiverOptions& options, const std::string& baseDir,
                                   const platform::TStringList* fileList) const;

  // Calls lib's command entry with wnd, CommandLine and the output buffer,
  // under a progress scope of the entry named progressEntry.
  std::int32_t RunCommandEntry(LibraryBinding& lib, const char* progressEntry, ArcWnd wnd,
                               std::string& output);

 private:
  // Builds CommandLine for command and runs it.
  std::int32_t Run(const char* command, ArcWnd wnd, const std::string& archiveName,
                   const TArchiverOptions& options, const std::string& baseDir,
                   const platform::TStringList* fileList, std::string& output);

  const TLibraryFormat& format_;
};

// A switch on the command line when its condition holds.
struct TFlag {
  bool On;
  const char* Text;
};
// The text of each flag that is on, in order.
void AddFlags(TCmdOpt& cmd, std::initializer_list<TFlag> flags);

// The tail every command line ends with: the user's options, the archive,
// the base folder, the files and the user's file list, after command and
// the switches already in cmd.
std::string FinishCmdLine(const std::string& command, TCmdOpt& cmd, const std::string& archiveName,
                          const TArchiverOptions& options, const std::string& baseDir,
                          const platform::TStringList* fileList);
// command, the flags that are on, then the tail.
std::string FlagCmdLine(const std::string& command, std::initializer_list<TFlag> flags,
                        const std::string& archiveName, const TArchiverOptions& options,
                        const std::string& baseDir, const platform::TStringList* fileList);
// command followed by the archive alone ("-t archive").
std::string ArchiveCmdLine(const std::string& command, const std::string& archiveName);

}  // namespace pelsok
