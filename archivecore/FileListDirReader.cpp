#include "archivecore/FileListDirReader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/DateTime.h"
#include "platform/Wildcard.h"

namespace pelsok::filelist {

namespace {

bool IsHiddenName(const char* name) {
  return name[0] == '.' && name[1] != '\0' && !(name[1] == '.' && name[2] == '\0');
}

}  // namespace

TDirReader::~TDirReader() { Close(); }

bool TDirReader::Open(const std::string& folder, const std::string& mask, bool withTimes) {
  Close();
  dir_ = opendir(folder.empty() ? "." : folder.c_str());
  if (dir_ == nullptr) return false;
  struct stat st {};
  if (fstat(dirfd(dir_), &st) != 0) {
    Close();
    return false;
  }
  device_ = static_cast<std::uint64_t>(st.st_dev);
  inode_ = static_cast<std::uint64_t>(st.st_ino);
  mask_ = mask;
  withTimes_ = withTimes;
  return true;
}

bool TDirReader::Next(platform::FindData& entry) {
  if (dir_ == nullptr) return false;
  while (const dirent* e = readdir(dir_)) {
    if (!platform::MatchesMask(e->d_name, mask_)) continue;

    bool isDirectory = e->d_type == DT_DIR;
    std::uint64_t lastWrite = 0, size = 0;
    const bool typeKnown = e->d_type == DT_DIR || e->d_type == DT_REG;
    if (!typeKnown || (withTimes_ && !isDirectory)) {
      struct stat st {};
      if (fstatat(dirfd(dir_), e->d_name, &st, 0) != 0) continue;  // dangling link, vanished entry
      isDirectory = S_ISDIR(st.st_mode);
      if (withTimes_ && !isDirectory)
        lastWrite = platform::UnixTimeToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
      size = static_cast<std::uint64_t>(st.st_size);
    }

    entry.Name = e->d_name;
    entry.ShortName.clear();
    entry.Attributes = isDirectory ? platform::faDirectory : platform::faArchive;
    if (IsHiddenName(e->d_name)) entry.Attributes |= platform::faHidden;
    entry.LastWriteTime = lastWrite;
    entry.Size = size;
    return true;
  }
  return false;
}

void TDirReader::Close() {
  if (dir_ != nullptr) closedir(dir_);
  dir_ = nullptr;
}

}  // namespace pelsok::filelist
