// The back-end base: one subclass per archive format turns the archive
// component's operations into calls of that format's archiver library.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "archivecore/ArchiverOptions.h"
#include "archivers/common/ArchiverApi.h"
#include "platform/StringList.h"

namespace pelsok {

// The mode a content check (IsLhaArchive and its sisters) opens a file with
// for listing: the value every archiver library is handed in that call.
inline constexpr std::uint32_t kContentCheckOpenMode = 0x800002;

class TArchiver {
 public:
  virtual ~TArchiver() = default;
  TArchiver(const TArchiver&) = delete;
  TArchiver& operator=(const TArchiver&) = delete;

  // The command line this object built for its last command and handed to the library.
  std::string CommandLine;

  // Slots, in order.
  virtual void LoadDll() = 0;
  virtual void UnloadDll() = 0;
  virtual ArcHandle OpenArchive(ArcWnd wnd, const std::string& archiveName, std::uint32_t mode);
  virtual std::int32_t FindFirst(ArcHandle handle, TArchiveEntryInfo& info,
                                 const std::string& wildName);
  virtual std::int32_t FindNext(ArcHandle handle, TArchiveEntryInfo& info);
  virtual std::int32_t CloseArchive(ArcHandle handle);
  virtual std::int32_t Unpack(ArcWnd wnd, const std::string& archiveName,
                              const TArchiverOptions& options, const std::string& baseDir,
                              const platform::TStringList* fileList, std::string& output) = 0;
  virtual std::int32_t Pack(ArcWnd wnd, const std::string& archiveName,
                            const TArchiverOptions& options, const std::string& baseDir,
                            const platform::TStringList* fileList, std::string& output);
  virtual std::int32_t Remove(ArcWnd wnd, const std::string& archiveName,
                              const TArchiverOptions& options, const std::string& baseDir,
                              const platform::TStringList* fileList, std::string& output);
  virtual std::int32_t MakeSfx(ArcWnd wnd, const std::string& archiveName,
                               const TArchiverOptions& options, std::string& output);

  // Beyond the slots above, for checking an archive before its files go:
  // decodes every entry and checks its CRC (0: all sound). The base refuses.
  virtual std::int32_t Test(ArcWnd wnd, const std::string& archiveName, std::string& output);
  // Hands the decoded data of the entries wildName matches (empty: all) to
  // callback in chunks, writing nothing (the library's optional read entry,
  // ArcReadMembersProc); the report goes to output. The base, and a back
  // end whose library has no such entry, raise EArchiver.
  virtual std::int32_t ReadMembers(const std::string& archiveName, const std::string& wildName,
                                   ArcMemberDataCallback callback, void* user, std::string& output);
  // The whole original size of the entry the last FindFirst/FindNext found,
  // when the library tells it (the record holds 32 bits); nullopt otherwise.
  virtual std::optional<std::uint64_t> OriginalSize64(ArcHandle handle);

 protected:
  // Concrete classes call LoadDll() in their constructors, so that
  // constructing a back end loads its library or fails.
  TArchiver() = default;
};

// Calls a library's read entry (null: raises EArchiver naming the library
// and the entry).
std::int32_t CallReadEntry(void* entry, const std::string& libraryName, const char* entryName,
                           const std::string& archiveName, const std::string& wildName,
                           ArcMemberDataCallback callback, void* user, std::string& output);

}  // namespace pelsok
