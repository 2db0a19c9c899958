// The file-system operations the system uses, in the Windows shapes the rest
// of the code expects: attributes, directory search, existence, deletion.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// Attribute bits as the directory search reports them.
enum : std::uint32_t {
  faReadOnly = 0x01,  // no write permission
  faHidden = 0x02,    // name begins with '.'
  faSysFile = 0x04,   // never set here
  faVolumeID = 0x08,  // never set here
  faDirectory = 0x10,
  faArchive = 0x20,  // every plain file
};

struct FindData {
  std::uint32_t Attributes = 0;
  std::string Name;                 // long name
  std::string ShortName;            // 8.3 name; always empty here
  std::uint64_t LastWriteTime = 0;  // UTC file time
  std::uint64_t Size = 0;
};

// One directory search: every entry of the pattern's folder whose name
// matches its mask, "." and ".." included, in the order the folder gives.
// Symbolic links are reported as what they point to; a dangling link is skipped.
class DirectorySearch {
 public:
  DirectorySearch();
  ~DirectorySearch();
  DirectorySearch(const DirectorySearch&) = delete;
  DirectorySearch& operator=(const DirectorySearch&) = delete;
  // Starts the search; false when the folder cannot be read or nothing matches.
  bool First(const std::string& pattern, FindData& data);
  bool Next(FindData& data);
  void Close();
  bool IsOpen() const;
  // Device and inode of the searched folder (to detect link loops).
  std::uint64_t FolderDevice() const;
  std::uint64_t FolderInode() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Attributes of a path (following links); nullopt when it does not exist.
std::optional<std::uint32_t> GetFileAttributes(const std::string& path);
bool FileExists(const std::string& path);  // a file, not a folder
bool DirectoryExists(const std::string& path);
bool DeleteFile(const std::string& path);
bool RenameFile(const std::string& from, const std::string& to);
std::optional<std::uint64_t> FileSize(const std::string& path);
// Which file a name stands for now (not following a final link): two equal
// identities are the same file, unchanged in size and time.
struct TFileIdentity {
  std::uint64_t Device = 0, Inode = 0, Size = 0;
  std::int64_t ModifiedNs = 0;
  bool operator==(const TFileIdentity&) const = default;
};
std::optional<TFileIdentity> FileIdentity(const std::string& path);
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& path);
// The folder of the running executable, with a trailing delimiter.
std::string ExecutableDir();
// Looks for a program file: the executable's folder, the current folder,
// the installed library folder, then each folder of PATH. Empty when not found.
std::string SearchPath(const std::string& fileName);
// Finds an entry of a folder whose name equals name without regard to ASCII case.
std::optional<std::string> FindNameIgnoringCase(const std::string& dir, const std::string& name);

}  // namespace platform
