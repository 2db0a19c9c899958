#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DateTime.h"
#include "FileSystem.h"
#include "Paths.h"
#include "Wildcard.h"

namespace platform {

struct DirectorySearch::Impl {
  DIR* dir = nullptr;
  std::string folder;  // with trailing delimiter, or empty for the current folder
  std::string mask;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
};

namespace {

// Reads the entry's status relative to the open folder, so each entry costs
// one stat and one access check without walking the path again.
bool Fill(int dirFd, const char* name, FindData& data) {
  struct stat st {};
  if (fstatat(dirFd, name, &st, 0) != 0) return false;  // dangling link, vanished file
  data.Name = name;
  data.ShortName.clear();
  data.Attributes = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
  if (name[0] == '.' && !(name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
    data.Attributes |= faHidden;
  }
  if (faccessat(dirFd, name, W_OK, 0) != 0) data.Attributes |= faReadOnly;
  data.LastWriteTime = UnixTimeToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  data.Size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

}  // namespace

DirectorySearch::DirectorySearch() : impl_(std::make_unique<Impl>()) {}
DirectorySearch::~DirectorySearch() { Close(); }

bool DirectorySearch::First(const std::string& pattern, FindData& data) {
  Close();
  impl_->folder = ExtractFilePath(pattern);
  impl_->mask = ExtractFileName(pattern);
  impl_->dir = opendir(impl_->folder.empty() ? "." : impl_->folder.c_str());
  if (impl_->dir == nullptr) return false;
  struct stat st {};
  if (fstat(dirfd(impl_->dir), &st) == 0) {
    impl_->device = static_cast<std::uint64_t>(st.st_dev);
    impl_->inode = static_cast<std::uint64_t>(st.st_ino);
  }
  if (Next(data)) return true;
  Close();
  return false;
}

bool DirectorySearch::Next(FindData& data) {
  if (impl_->dir == nullptr) return false;
  while (dirent* e = readdir(impl_->dir)) {
    if (!MatchesMask(e->d_name, impl_->mask)) continue;
    if (Fill(dirfd(impl_->dir), e->d_name, data)) return true;
  }
  return false;
}

void DirectorySearch::Close() {
  if (impl_ && impl_->dir != nullptr) {
    closedir(impl_->dir);
    impl_->dir = nullptr;
  }
}

bool DirectorySearch::IsOpen() const { return impl_->dir != nullptr; }
std::uint64_t DirectorySearch::FolderDevice() const { return impl_->device; }
std::uint64_t DirectorySearch::FolderInode() const { return impl_->inode; }

}  // namespace platform
