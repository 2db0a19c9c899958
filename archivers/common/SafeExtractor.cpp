#include "SafeExtractor.h"

#include "common/Messages.h"
#include "platform/TextConvert.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <stdexcept>

namespace arc {
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

bool IsSeparator(char c, bool backslash) { return c == '/' || (backslash && c == '\\'); }

// A name no one else can have, next to `name` in the same folder.
std::string TempName(const std::string& name) {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  return "." + name.substr(0, 200) + ".arctmp" + std::to_string(rng() % 1000000000ull);
}

// Runs make(tmpName) until it succeeds or fails for a reason other than a
// name already taken.
template <typename Make>
bool MakeTemp(const std::string& name, std::string& tmpName, Make make) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    tmpName = TempName(name);
    if (make(tmpName)) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

struct FolderWalk {
  Fd dir;
  ExtractReport failure;  // outcome failed or refusedUnsafe when dir is not open
};

// Opens (creating with `create`) each folder below base, never through a link.
FolderWalk OpenFolders(int baseFd, const std::vector<std::string>& folders, bool create) {
  FolderWalk w;
  w.dir = Fd(::dup(baseFd));
  if (w.dir.get() < 0) {
    w.failure = {ExtractOutcome::failed, Errno()};
    return w;
  }
  for (const auto& part : folders) {
    if (create && ::mkdirat(w.dir.get(), part.c_str(), 0755) != 0 && errno != EEXIST) {
      w.failure = {ExtractOutcome::failed,
                   msg::CannotCreate("フォルダ " + msg::Quoted(part), Errno())};
      w.dir = Fd();
      return w;
    }
    Fd sub(::openat(w.dir.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (sub.get() < 0) {
      const int err = errno;
      struct stat st {};
      if (::fstatat(w.dir.get(), part.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
          S_ISLNK(st.st_mode)) {
        w.failure = {ExtractOutcome::refusedUnsafe,
                     "フォルダ " + msg::Quoted(part) + " はリンクです"};
      } else if (err == ENOTDIR || err == ELOOP) {
        w.failure = {ExtractOutcome::failed,
                     "フォルダ " + msg::Quoted(part) + " の場所にファイルがあります"};
      } else {
        errno = err;
        w.failure = {ExtractOutcome::failed,
                     msg::CannotOpen("フォルダ " + msg::Quoted(part), Errno())};
      }
      w.dir = Fd();
      return w;
    }
    w.dir = std::move(sub);
  }
  return w;
}

// Whether an existing name may be replaced by a member stamped mtime.
// Sets report when it may not.
bool MayReplace(int dirFd, const std::string& name, std::int64_t mtime, bool always,
                ExtractReport& report) {
  // (always: overwriting was asked for, or this run wrote the name itself)
  struct stat existing {};
  if (::fstatat(dirFd, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) != 0) return true;
  if (S_ISDIR(existing.st_mode)) {
    report = {ExtractOutcome::failed, "同じ名前のフォルダがあります"};
    return false;
  }
  if (!always && existing.st_mtime >= mtime) {
    report = {ExtractOutcome::skippedNotNewer, "既存のファイルの方が新しいか同じです"};
    return false;
  }
  return true;
}

// True when target, read from a link in a folder `depth` levels below the
// base, stays inside the base folder.
bool TargetStaysInside(const std::string& target, std::size_t depth, bool backslash) {
  if (target.empty()) return false;
  if (SplitEntryName(target, backslash).absolute) return false;
  long level = static_cast<long>(depth);
  std::string cur;
  for (std::size_t i = 0; i <= target.size(); ++i) {
    if (i == target.size() || IsSeparator(target[i], backslash)) {
      if (cur == "..") {
        if (--level < 0) return false;
      } else if (!cur.empty() && cur != ".") {
        ++level;
      }
      cur.clear();
    } else {
      cur += target[i];
    }
  }
  return true;
}

std::string JoinParts(const std::vector<std::string>& parts) {
  std::string path;
  for (const auto& p : parts) path += (path.empty() ? "" : "/") + p;
  return path;
}

}  // namespace

SplitName SplitEntryName(const std::string& name, bool backslashSeparates) {
  SplitName out;
  std::size_t i = 0;
  if (name.size() >= 2 && name[1] == ':' &&
      ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'))) {
    out.absolute = true;
    i = 2;
  }
  if (i < name.size() && IsSeparator(name[i], backslashSeparates)) out.absolute = true;
  std::string cur;
  for (; i <= name.size(); ++i) {
    if (i == name.size() || IsSeparator(name[i], backslashSeparates)) {
      if (cur == "..") {
        out.hasParent = true;
      } else if (!cur.empty() && cur != ".") {
        // A stored name is UTF-8; on disk it is spelled in the ANSI code page.
        out.parts.push_back(platform::Utf8ToAnsi(cur));
      }
      cur.clear();
    } else {
      cur += name[i];
    }
  }
  return out;
}

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

SafeExtractor::SafeExtractor(const std::string& baseDir, ExtractRules rules) : rules_(rules) {
  const std::string dir = baseDir.empty() ? "." : baseDir;
  if (!MakeFolders(dir))
    throw std::runtime_error(msg::CannotCreate("フォルダ " + msg::Quoted(dir), Errno()));
  baseFd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (baseFd_ < 0)
    throw std::runtime_error(msg::CannotOpen("フォルダ " + msg::Quoted(dir), Errno()));
}

SafeExtractor::~SafeExtractor() {
  if (baseFd_ >= 0) ::close(baseFd_);
}

ExtractReport SafeExtractor::Extract(const EntryToExtract& entry, const DataWriter& write) {
  const SplitName split = SplitEntryName(entry.name, rules_.backslashSeparates);
  if (split.hasParent) return {ExtractOutcome::refusedUnsafe, msg::NameHoldsParent()};
  if (split.absolute && !rules_.stripAbsolute)
    return {ExtractOutcome::refusedUnsafe, msg::AbsoluteName()};
  const bool isDir = entry.kind == EntryKind::folder;
  if (split.parts.empty()) {
    if (isDir) return {ExtractOutcome::written, "フォルダ"};
    return {ExtractOutcome::refusedUnsafe, msg::EmptyName()};
  }
  const bool warn = split.absolute;
  const std::string rootNote = warn ? "絶対パスの先頭の / を除きました" : std::string();
  if (isDir && !rules_.withFolders) return {ExtractOutcome::written, "フォルダ"};
  if (entry.kind == EntryKind::special)
    return {ExtractOutcome::skippedLink, msg::SpecialNotExtracted()};
  if (entry.kind == EntryKind::symlink && !rules_.linksInside)
    return {ExtractOutcome::skippedLink, msg::SymlinkNotExtracted()};
  if (entry.kind == EntryKind::hardlink && !rules_.linksInside)
    return {ExtractOutcome::skippedLink, msg::HardlinkNotExtracted()};

  std::vector<std::string> folders;
  if (rules_.withFolders) folders.assign(split.parts.begin(), split.parts.end() - (isDir ? 0 : 1));
  FolderWalk walk = OpenFolders(baseFd_, folders, true);
  if (walk.dir.get() < 0) return walk.failure;
  if (isDir) return {ExtractOutcome::written, warn ? rootNote : "フォルダ", false, warn};
  const int dir = walk.dir.get();
  const std::string name = split.parts.back();

  std::vector<std::string> where = folders;
  where.push_back(name);
  const std::string path = JoinParts(where);
  ExtractReport refusal;
  if (!MayReplace(dir, name, entry.mtime, rules_.overwriteAlways || written_.count(path) != 0,
                  refusal))
    return refusal;

  std::string tmpName;
  if (entry.kind == EntryKind::symlink) {
    if (!TargetStaysInside(entry.linkTarget, folders.size(), rules_.backslashSeparates))
      return {ExtractOutcome::refusedUnsafe, msg::LinkOutside()};
    const std::string why = LinkRefusal(folders, name, entry.linkTarget);
    if (!why.empty()) return {ExtractOutcome::refusedUnsafe, why};
    if (!MakeTemp(name, tmpName, [&](const std::string& t) {
          return ::symlinkat(entry.linkTarget.c_str(), dir, t.c_str()) == 0;
        }))
      return {ExtractOutcome::failed, msg::CannotCreate("リンク", Errno())};
  } else if (entry.kind == EntryKind::hardlink) {
    const SplitName target = SplitEntryName(entry.linkTarget, rules_.backslashSeparates);
    if (target.hasParent || target.parts.empty() || (target.absolute && !rules_.stripAbsolute))
      return {ExtractOutcome::refusedUnsafe, msg::LinkOutside()};
    std::vector<std::string> targetFolders;
    if (rules_.withFolders) targetFolders.assign(target.parts.begin(), target.parts.end() - 1);
    FolderWalk from = OpenFolders(baseFd_, targetFolders, false);
    if (from.dir.get() < 0) return {ExtractOutcome::failed, "リンク先が展開されていません"};
    struct stat st {};
    if (::fstatat(from.dir.get(), target.parts.back().c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(st.st_mode))
      return {ExtractOutcome::failed, "リンク先が展開されていません"};
    if (!MakeTemp(name, tmpName, [&](const std::string& t) {
          return ::linkat(from.dir.get(), target.parts.back().c_str(), dir, t.c_str(), 0) == 0;
        }))
      return {ExtractOutcome::failed, msg::CannotCreate("リンク", Errno())};
  } else {
    // A file that replaces another is synced before the rename, so a crash
    // leaves the old file or the whole new one. A new file has nothing to
    // lose (the archive still holds it) and is not waited for.
    struct stat existing;
    const bool replacing = ::fstatat(dir, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    Fd out;
    if (!MakeTemp(name, tmpName, [&](const std::string& t) {
          out = Fd(
              ::openat(dir, t.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
          return out.get() >= 0;
        }))
      return {ExtractOutcome::failed, msg::CannotCreate("ファイル", Errno())};
    DataResult data;
    try {
      data = write(out.get());
    } catch (const std::exception& e) {
      data = {false, false, e.what()};
    }
    if (!data.ok) {
      ::unlinkat(dir, tmpName.c_str(), 0);
      return {ExtractOutcome::failed, data.message, data.damaged};
    }
    mode_t mode = 0644;
    if (entry.unixMode) {
      mode = *entry.unixMode & 0777;  // never set-id or sticky
    } else if (entry.readOnly) {
      mode = 0444;
    }
    ::fchmod(out.get(), mode | S_IRUSR);
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(entry.mtime);
    times[0].tv_nsec = times[1].tv_nsec = 0;
    ::futimens(out.get(), times);
    if (replacing && ::fsync(out.get()) != 0) {
      const std::string why = Errno();
      ::unlinkat(dir, tmpName.c_str(), 0);
      return {ExtractOutcome::failed, msg::CannotWrite(msg::Quoted(name), why)};
    }
    if (::renameat(dir, tmpName.c_str(), dir, name.c_str()) != 0) {
      const std::string why = Errno();
      ::unlinkat(dir, tmpName.c_str(), 0);
      return {ExtractOutcome::failed, msg::CannotWrite(msg::Quoted(name), why)};
    }
    written_.insert(path);
    return {ExtractOutcome::written, warn ? rootNote : data.message, false, warn};
  }
  if (::renameat(dir, tmpName.c_str(), dir, name.c_str()) != 0) {
    const std::string why = Errno();
    ::unlinkat(dir, tmpName.c_str(), 0);
    return {ExtractOutcome::failed, msg::CannotWrite(msg::Quoted(name), why)};
  }
  written_.insert(path);
  return {ExtractOutcome::written, warn ? rootNote : "リンク", false, warn};
}

// The kernel resolves a link's target part by part, following every link
// it meets on the way: "a -> b/b/../.." after "b -> ." climbs out of the
// base folder though its text stays inside. So the target is walked as the
// kernel would walk it, below the base, and every part it passes through
// must be a real folder or nothing yet, and may never become a link later.
std::string SafeExtractor::LinkRefusal(const std::vector<std::string>& folders,
                                       const std::string& name, const std::string& target) {
  std::vector<std::string> at = folders;
  std::vector<std::string> self = folders;
  self.push_back(name);
  if (passedByLinks_.count(JoinParts(self)) != 0)
    return "先に展開したリンクがこの名前を通って指しているため、リンクを作りません";
  std::vector<std::string> parts;
  std::string cur;
  for (std::size_t i = 0; i <= target.size(); ++i) {
    if (i == target.size() || target[i] == '/') {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += target[i];
    }
  }
  std::vector<std::string> passed;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (at.empty()) return msg::LinkOutside();
      at.pop_back();
      continue;
    }
    at.push_back(part);
    if (i + 1 == parts.size()) break;  // the last part is the link's own target
    const std::string prefix = JoinParts(at);
    struct stat st {};
    if (::fstatat(baseFd_, prefix.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
      return "リンクの指す先が別のリンクを通るため、リンクを作りません";
    passed.push_back(prefix);
  }
  passedByLinks_.insert(passed.begin(), passed.end());
  return {};
}

}  // namespace arc
