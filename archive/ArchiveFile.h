// The archive component: picks a format back end from the archive's name or
// content and forwards packing and listing to it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "archive/EntryTypes.h"
#include "archivecore/ArchiverOptions.h"
#include "archivecore/ArchiverType.h"
#include "platform/Component.h"
#include "platform/StringList.h"

namespace pelsok {

class TArchiver;
struct TBackendRow;

class TArchiveFile : public platform::TComponent {
 public:
  explicit TArchiveFile(platform::TComponent* owner);
  ~TArchiveFile() override;
  std::string ClassName() const override { return "TArchiveFile"; }

  const std::string& FileName() const { return fileName_; }
  // Binds the back end the name's extension selects; on failure nothing changes.
  void SetFileName(const std::string& value);
  TArchiverType ArchiverType() const { return archiverType_; }
  void SetArchiverType(TArchiverType t);
  TArchiverOptions& Options() { return options_; }
  const TArchiverOptions& Options() const { return options_; }
  int OutputSize() const { return static_cast<int>(output_.size()); }
  void SetOutputSize(int n);
  // The library's output text (NUL-terminated inside the buffer).
  const std::string& Output() const { return output_; }
  const std::string& CommandLine() const { return commandLine_; }
  std::int32_t ArchiveHandle() const { return archiveHandle_; }
  // The row of the bound format (its names, how its members are checked), or null.
  const TBackendRow* FormatRow() const;
  // The bound back end, or null.
  TArchiver* Archiver() const { return archiver_.get(); }

  std::int32_t Pack(ArcWnd wnd, const std::string& baseDir, const platform::TStringList* fileList);
  // Extracts the entries fileList names (all when absent) below baseDir.
  std::int32_t Unpack(ArcWnd wnd, const std::string& baseDir,
                      const platform::TStringList* fileList);
  // Deletes the entries fileList names from the archive.
  std::int32_t Remove(ArcWnd wnd, const platform::TStringList* fileList);
  std::int32_t MakeSfx(ArcWnd wnd);
  // Decodes every entry and checks its CRC; 0 when all are sound.
  std::int32_t Test(ArcWnd wnd);
  // What ReadMembers hands over: an entry's name (in the ANSI code page)
  // and a chunk of its data, or at the entry's end a null chunk with that
  // entry's result; answers as ArcMemberDataCallback (0 go on,
  // kArcSkipMember, else stop). What it throws stops the walk and is
  // rethrown by ReadMembers.
  using TMemberData = std::function<std::int32_t(const std::string& name, const char* chunk,
                                                 std::uint32_t length, std::int32_t result)>;
  // Decodes the entries wildName matches (empty: all) into take, writing
  // nothing to disk; the library's report is in Output(). Raises EArchiver
  // when the format's library cannot read entries this way.
  std::int32_t ReadMembers(const std::string& wildName, const TMemberData& take);
  std::int32_t OpenArchive(ArcWnd wnd, std::uint32_t mode);
  std::int32_t FindFirst(const std::string& wildName, TArchiveEntryInfo& info);
  std::int32_t FindNext(TArchiveEntryInfo& info);
  void CloseArchive();
  // The full original size of the entry FindFirst/FindNext found last, where
  // the library tells it beyond the record's 32 bits; nullopt otherwise.
  std::optional<std::uint64_t> OriginalSize64();

  // The list to hand to the back end for use: a one-line "@file" list when a
  // response file applies, else list itself.
  const platform::TStringList* MakeResponseFile(TResFileUse use, const platform::TStringList* list);

 private:
  void AutoDetect();
  void CheckArchiver();
  // After a command: keeps its command line and puts its report in the ANSI code page.
  void Finished();
  std::int32_t CallPack(ArcWnd wnd, const TArchiverOptions& o, const std::string& baseDir,
                        const platform::TStringList* list);

  TArchiverType archiverType_ = atAutoDetect;
  std::unique_ptr<TArchiver> archiver_;
  TArchiverOptions options_;
  std::string fileName_;
  std::string commandLine_;
  std::string output_;
  std::int32_t archiveHandle_ = 0;
};

}  // namespace pelsok
