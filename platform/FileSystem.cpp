#include "FileSystem.h"

#include <dirent.h>
#include <limits.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "DynamicLibrary.h"
#include "Paths.h"

namespace platform {

std::optional<std::uint32_t> GetFileAttributes(const std::string& path) {
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0) return std::nullopt;
  std::uint32_t attr = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
  const std::string name = ExtractFileName(ExcludeTrailingPathDelimiter(path));
  if (name.size() > 1 && name[0] == '.' && name != "..") attr |= faHidden;
  if (access(path.c_str(), W_OK) != 0) attr |= faReadOnly;
  return attr;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFile(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return unlink(path.c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

std::optional<TFileIdentity> FileIdentity(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return std::nullopt;
  return TFileIdentity{
      static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
      static_cast<std::uint64_t>(st.st_size),
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::string GetCurrentDir() {
  std::vector<char> buf(PATH_MAX);
  if (getcwd(buf.data(), buf.size()) == nullptr) return std::string();
  return std::string(buf.data());
}

bool SetCurrentDir(const std::string& path) { return chdir(path.c_str()) == 0; }

std::string ExecutableDir() {
  std::vector<char> buf(PATH_MAX);
  const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return std::string();
  return ExtractFilePath(std::string(buf.data(), static_cast<std::size_t>(n)));
}

std::optional<std::string> FindNameIgnoringCase(const std::string& dir, const std::string& name) {
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return std::nullopt;
  std::optional<std::string> found;
  while (dirent* e = readdir(d)) {
    if (strcasecmp(e->d_name, name.c_str()) == 0) {
      found = e->d_name;
      if (name == e->d_name) break;  // an exact spelling wins
    }
  }
  closedir(d);
  return found;
}

std::string SearchPath(const std::string& fileName) {
  if (fileName.find(kPathDelim) != std::string::npos) {
    return FileExists(fileName) ? ExpandFileName(fileName) : std::string();
  }
  // The installed library folder stands where Windows has its system
  // folder: the helper programs installed beside the libraries (the
  // self-extracting stubs) are found there.
  std::vector<std::string> dirs{ExecutableDir(), IncludeTrailingPathDelimiter(GetCurrentDir()),
                                InstalledLibraryFolder()};
  if (const char* path = std::getenv("PATH")) {
    std::string p(path);
    std::size_t pos = 0;
    while (pos <= p.size()) {
      std::size_t next = p.find(':', pos);
      if (next == std::string::npos) next = p.size();
      if (next > pos) dirs.push_back(IncludeTrailingPathDelimiter(p.substr(pos, next - pos)));
      pos = next + 1;
    }
  }
  for (const auto& dir : dirs) {
    if (dir.empty()) continue;
    if (auto name = FindNameIgnoringCase(dir, fileName)) {
      if (FileExists(dir + *name)) return dir + *name;
    }
  }
  return std::string();
}

}  // namespace platform
