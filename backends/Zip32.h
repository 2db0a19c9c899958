// The back end for ZIP archives. It drives up to three archiver libraries,
// each optional, and picks one per operation: "UNZIP32.DLL" extracts and
// lists, "ZIP32J.DLL" creates and deletes (and lists), "LMZIP32.DLL" does all
// three and spells its "UnZip..." entries with a lower-case z.
#pragma once

#include <cstddef>

#include "backends/Archiver.h"
#include "backends/LibraryBinding.h"

namespace pelsok {

class TZip32 : public TArchiver {
 public:
  // The libraries, in the order LoadDll loads them.
  enum ZipLibrary : std::size_t { kUnzip32, kZip32j, kLmZip32 };
  // The six entries of the binding's cache.
  enum ZipEntryId : std::size_t {
    kZip,
    kUnZip,
    kUnZipOpenArchive,
    kUnZipCloseArchive,
    kUnZipFindFirst,
    kUnZipFindNext
  };

  // Loads the libraries; raises "ZIP 形式書庫を解凍するには UNZIP32.DLL が、
  // 作成するには ZIP32J.DLL が必要です。" when none loads.
  TZip32();

  void LoadDll() override;
  void UnloadDll() override;
  ArcHandle OpenArchive(ArcWnd wnd, const std::string& archiveName, std::uint32_t mode) override;
  std::int32_t FindFirst(ArcHandle handle, TArchiveEntryInfo& info,
                         const std::string& wildName) override;
  std::int32_t FindNext(ArcHandle handle, TArchiveEntryInfo& info) override;
  std::int32_t CloseArchive(ArcHandle handle) override;
  // Through "UNZIP32.DLL"'s "UnZipReadMembers".
  std::int32_t ReadMembers(const std::string& archiveName, const std::string& wildName,
                           ArcMemberDataCallback callback, void* user,
                           std::string& output) override;
  // Every member decodes and matches its CRC (the library's test command).
  std::int32_t Test(ArcWnd wnd, const std::string& archiveName, std::string& output) override;
  std::int32_t Unpack(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                      const std::string& baseDir, const platform::TStringList* fileList,
                      std::string& output) override;
  // Through "ZIP32J.DLL" when it is loaded, else through "LMZIP32.DLL", which
  // writes a new archive: the old one is kept aside until "Zip" returns 0
  // and put back otherwise.
  std::int32_t Pack(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                    const std::string& baseDir, const platform::TStringList* fileList,
                    std::string& output) override;
  std::int32_t Remove(ArcWnd wnd, const std::string& archiveName, const TArchiverOptions& options,
                      const std::string& baseDir, const platform::TStringList* fileList,
                      std::string& output) override;

  // The command lines; they depend on nothing in the instance.
  static std::string MakeUnZipCmdLine(const std::string& command, const std::string& archiveName,
                                      const TArchiverOptions& options, const std::string& baseDir,
                                      const platform::TStringList* fileList);
  static std::string MakeLmZipCmdLine(const std::string& command, const std::string& archiveName,
                                      const TArchiverOptions& options, const std::string& baseDir,
                                      const platform::TStringList* fileList);
  static std::string MakeZipCmdLine(const std::string& command, const std::string& archiveName,
                                    const TArchiverOptions& options, const std::string& baseDir,
                                    const platform::TStringList* fileList);
  std::int32_t RunUnZip(ArcWnd wnd, std::string& output);
  std::int32_t RunZip(ArcWnd wnd, std::string& output);

  // The address of an entry, from the first of its libraries (in the order
  // the binding gives) that is loaded and has it; "LMZIP32.DLL" is asked for
  // the name with its third character, an upper-case Z, made lower-case.
  // Raises the entry's name followed by " のエントリが見つかりません。".
  static void* GetZipEntry(ZipEntryId entry);
  // An entry ready to call: runs LoadDll (not for "UnZipFindNext") and, while
  // the entry is not cached, its precondition, then resolves and caches it.
  static void* CallableEntry(ZipEntryId entry);

  // The process-wide binding of the three libraries (shared with IsZipArchive).
  static LibraryBinding& Library();
};

// True when a ZIP library opens the file for listing; never raises.
bool IsZipArchive(const std::string& fileName);

}  // namespace pelsok
