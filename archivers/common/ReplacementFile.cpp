#include "ReplacementFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "common/Messages.h"

namespace arc {
namespace {

std::string FolderOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int MakeTemp(const std::string& folder, const std::string& stem, std::string& path) {
  std::string pattern = folder + "/." + stem.substr(0, 100) + ".tmpXXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  int fd = ::mkostemp(buf.data(), O_CLOEXEC);
  if (fd >= 0) path = buf.data();
  return fd;
}

std::runtime_error Failure(const std::string& what) {
  return std::runtime_error(what + msg::Because(std::strerror(errno)));
}

void SyncFolder(const std::string& folder) {
  int d = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (d >= 0) {
    ::fsync(d);
    ::close(d);
  }
}

mode_t TargetMode(const std::string& target, bool executable) {
  mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat st {};
  mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~mask);
  if (executable) mode |= 0111 & ~mask;
  return mode;
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& target, const std::string& workDir)
    : target_(target) {
  std::string folder = workDir.empty() ? FolderOf(target) : workDir;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  fd_ = MakeTemp(folder, BaseOf(target), temp_);
  if (fd_ < 0)
    throw Failure(msg::CannotCreate("フォルダ " + msg::Quoted(folder) + " に一時ファイル"));
}

ReplacementFile::~ReplacementFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void ReplacementFile::Commit(bool executable) {
  if (::fchmod(fd_, TargetMode(target_, executable)) != 0)
    throw Failure(msg::Quoted(temp_) + " の許可属性を設定できません");
  if (::fsync(fd_) != 0) throw Failure(msg::CannotWrite(msg::Quoted(temp_)));
  if (::rename(temp_.c_str(), target_.c_str()) == 0) {
    committed_ = true;
    SyncFolder(FolderOf(target_));
    return;
  }
  if (errno != EXDEV)
    throw Failure(msg::Quoted(temp_) + " の名前を " + msg::Quoted(target_) + " に変更できません");
  // The work folder is on another file system: copy next to the target first.
  std::string local;
  int out = MakeTemp(FolderOf(target_), BaseOf(target_), local);
  if (out < 0) throw Failure(msg::CannotCreate(msg::Quoted(target_) + " の隣に一時ファイル"));
  bool ok = ::lseek(fd_, 0, SEEK_SET) == 0;
  std::vector<char> buf(1 << 16);
  while (ok) {
    ssize_t n = ::read(fd_, buf.data(), buf.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    for (ssize_t done = 0; ok && done < n;) {
      ssize_t w = ::write(out, buf.data() + done, static_cast<std::size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      ok = w > 0;
      if (ok) done += w;
    }
  }
  ok = ok && ::fchmod(out, TargetMode(target_, executable)) == 0 && ::fsync(out) == 0;
  ::close(out);
  if (!ok || ::rename(local.c_str(), target_.c_str()) != 0) {
    auto err = Failure(msg::CannotWrite(msg::Quoted(target_)));
    ::unlink(local.c_str());
    throw err;
  }
  committed_ = true;
  ::unlink(temp_.c_str());
  SyncFolder(FolderOf(target_));
}

}  // namespace arc
