#include "SafeExtractor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "FileStreams.h"
#include "MemberTime.h"

namespace lzh {
namespace {

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  Fd(Fd&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
  Fd& operator=(Fd&& o) noexcept {
    if (this != &o) {
      if (fd_ >= 0) ::close(fd_);
      fd_ = o.fd_;
      o.fd_ = -1;
    }
    return *this;
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

std::string Errno() { return std::strerror(errno); }

// Opens a temporary file next to `name` in dir that no one else can have.
int CreateTemp(int dirFd, const std::string& name, std::string& tmpName) {
  static std::mt19937_64 rng{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    tmpName = "." + name.substr(0, 200) + ".lzhtmp" + std::to_string(rng() % 1000000000ull);
    int fd = ::openat(dirFd, tmpName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

bool MakeFolders(const std::string& path) {
  if (path.empty()) return true;
  std::string cur;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      if (!cur.empty() && cur != "/") {
        if (::mkdir(cur.c_str(), 0755) != 0 && errno != EEXIST) return false;
      }
    }
    if (i < path.size()) cur += path[i];
  }
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

SafeExtractor::SafeExtractor(const std::string& baseDir, ExtractOptions options)
    : options_(options) {
  const std::string dir = baseDir.empty() ? "." : baseDir;
  if (!MakeFolders(dir)) throw FileError("cannot create folder " + dir + ": " + Errno());
  baseFd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (baseFd_ < 0) throw FileError("cannot open folder " + dir + ": " + Errno());
}

SafeExtractor::~SafeExtractor() {
  if (baseFd_ >= 0) ::close(baseFd_);
}

ExtractReport SafeExtractor::Extract(int archiveFd, const std::string& archiveName,
                                     const ArchiveMember& m) {
  const EntryPath& path = m.path;
  if (path.symlink) return {ExtractOutcome::skippedLink, "symbolic link not extracted"};
  if (!path.IsSafe()) return {ExtractOutcome::refusedUnsafe, "unsafe name refused"};
  const bool isDir = m.header.isDirectory();
  if (isDir && !options_.withFolders) return {ExtractOutcome::written, "folder"};
  std::vector<std::string> folders;
  if (options_.withFolders) folders.assign(path.parts.begin(), path.parts.end() - (isDir ? 0 : 1));

  Fd dir(::dup(baseFd_));
  if (dir.get() < 0) return {ExtractOutcome::failed, Errno()};
  for (const auto& part : folders) {
    if (::mkdirat(dir.get(), part.c_str(), 0755) != 0 && errno != EEXIST)
      return {ExtractOutcome::failed, "cannot create folder " + part + ": " + Errno()};
    Fd sub(::openat(dir.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (sub.get() < 0) {
      if (errno == ELOOP || errno == ENOTDIR)
        return {ExtractOutcome::refusedUnsafe, "folder " + part + " is a link or a file"};
      return {ExtractOutcome::failed, "cannot open folder " + part + ": " + Errno()};
    }
    dir = std::move(sub);
  }
  if (isDir) return {ExtractOutcome::written, "folder"};

  const std::string name = path.Name();
  const std::int64_t mtime = MemberTime(m.header);
  struct stat existing {};
  if (::fstatat(dir.get(), name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISDIR(existing.st_mode)) return {ExtractOutcome::failed, "a folder of that name exists"};
    if (!options_.overwriteAlways && existing.st_mtime >= mtime)
      return {ExtractOutcome::skippedNotNewer, "existing file is not older"};
  }

  std::string tmpName;
  Fd out(CreateTemp(dir.get(), name, tmpName));
  if (out.get() < 0)
    return {ExtractOutcome::failed, "cannot create a file in the folder: " + Errno()};
  MemberResult r;
  try {
    FileSink sink(out.get(), tmpName);
    r = DecodeMember(archiveFd, archiveName, m, sink);
  } catch (const std::exception& e) {
    r = {Status::fatal, e.what()};
  }
  if (r.status == Status::failed || r.status == Status::fatal) {
    ::unlinkat(dir.get(), tmpName.c_str(), 0);
    return {ExtractOutcome::failed, r.message, r.status == Status::failed};
  }
  mode_t mode = 0644;
  if (m.header.unixMode) {
    mode = *m.header.unixMode & 0777;
  } else if ((m.header.attribute & 0x01) ||
             (m.header.dosAttribute && (*m.header.dosAttribute & 1))) {
    mode = 0444;
  }
  ::fchmod(out.get(), mode | S_IRUSR);
  struct timespec times[2];
  times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(mtime);
  times[0].tv_nsec = times[1].tv_nsec = 0;
  ::futimens(out.get(), times);
  if (::fsync(out.get()) != 0 ||
      ::renameat(dir.get(), tmpName.c_str(), dir.get(), name.c_str()) != 0) {
    std::string why = Errno();
    ::unlinkat(dir.get(), tmpName.c_str(), 0);
    return {ExtractOutcome::failed, "cannot write " + name + ": " + why};
  }
  return {ExtractOutcome::written, r.message};
}

}  // namespace lzh
