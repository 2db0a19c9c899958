#include "Registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

#include "Paths.h"

namespace platform {

namespace {

const char* kInvalidType = "'%s' のﾃﾞｰﾀ型が不正です";
const char* kReadFailed = "'%s' の取得に失敗しました";
const char* kWriteFailed = "'%s' の設定に失敗しました";

std::string JoinKey(const std::string& a, const std::string& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return a + "\\" + b;
}

bool MakeDirs(const std::string& dir) {
  std::string path;
  std::size_t pos = 0;
  while (pos <= dir.size()) {
    std::size_t next = dir.find('/', pos);
    if (next == std::string::npos) next = dir.size();
    path = dir.substr(0, next);
    if (!path.empty()) {
      if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    pos = next + 1;
  }
  return true;
}

// An exclusive (or shared) lock on "<hive>.lock" for the life of the object.
class HiveLock {
 public:
  HiveLock(const std::string& hive, bool exclusive) {
    MakeDirs(ExtractFilePath(hive));
    fd_ = open((hive + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
      while (flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR) {
      }
    }
  }
  ~HiveLock() {
    if (fd_ >= 0) close(fd_);
  }
  HiveLock(const HiveLock&) = delete;
  HiveLock& operator=(const HiveLock&) = delete;

 private:
  int fd_ = -1;
};

// Temporary files of saves that were killed midway (PATH.tmpXXXXXX). Saves
// run under the exclusive hive lock and this under either lock, so any such
// file is a leftover.
void RemoveStaleTemps(const std::string& path) {
  const std::string dir = ExtractFilePath(path);
  const std::string stem = path.substr(dir.size()) + ".tmp";
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return;
  while (const dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name.size() == stem.size() + 6 && name.compare(0, stem.size(), stem) == 0)
      unlink((dir + name).c_str());
  }
  closedir(d);
}

// Reads the hive file. A missing file is an empty hive; a file that does
// not parse is copied aside (once per content) and reported, never replaced.
RegistryHive LoadHive(const std::string& path, const std::string& valueName) {
  RemoveStaleTemps(path);
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (errno == ENOENT || access(path.c_str(), F_OK) != 0) return RegistryHive();
    throw ERegistryException(FormatText(kReadFailed, {valueName}));
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw ERegistryException(FormatText(kReadFailed, {valueName}));
  try {
    return RegistryHive::Parse(text.str());
  } catch (const EHiveCorrupt& e) {
    const std::string copy = path + ".corrupt";
    std::ifstream existing(copy, std::ios::binary);
    std::ostringstream old;
    if (existing) old << existing.rdbuf();
    if (!existing || old.str() != text.str()) {
      // The copy is no more readable than the hive itself.
      struct stat st {};
      const mode_t mode = stat(path.c_str(), &st) == 0 ? (st.st_mode & 0600) : 0600;
      const int fd =
          open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, mode);
      if (fd >= 0) {
        fchmod(fd, mode);
        const std::string& bytes = text.str();
        std::size_t done = 0;
        while (done < bytes.size()) {
          const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
          if (n <= 0 && errno != EINTR) break;
          if (n > 0) done += static_cast<std::size_t>(n);
        }
        close(fd);
      }
    }
    throw EHiveCorrupt("レジストリファイル '" + path + "' を読み込めません (" + e.Message() +
                       ")。ファイルはそのまま残し、写しを '" + copy + "' に保存しました。");
  }
}

// Temporary file, fsync, rename, fsync of the folder.
// The file a save replaces: the hive, or the file its symbolic link names
// (the link stays a link).
std::string SaveTarget(const std::string& path) {
  std::string target = path;
  for (int depth = 0; depth < 16; ++depth) {
    struct stat st {};
    if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
    std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = readlink(target.c_str(), link.data(), link.size());
    if (n <= 0) return target;
    link.resize(static_cast<std::size_t>(n));
    target = link[0] == '/' ? link : ExtractFilePath(target) + link;
  }
  return target;
}

bool SaveHive(const std::string& hivePath, const RegistryHive& hive) {
  const std::string path = SaveTarget(hivePath);
  RemoveStaleTemps(path);
  // A hive the user made read-only is left alone; the new file keeps the
  // old one's permissions.
  mode_t mode = 0600;
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) {
    if ((st.st_mode & 0222) == 0) return false;
    mode = st.st_mode & 0777;
  }
  const std::string dir = ExtractFilePath(path);
  if (!MakeDirs(dir)) return false;
  std::string tmp = path + ".tmpXXXXXX";
  int fd = mkstemp(tmp.data());
  if (fd < 0) return false;
  const std::string text = hive.Serialize();
  const char* p = text.data();
  std::size_t left = text.size();
  bool ok = true;
  while (left > 0) {
    const ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  ok = ok && fchmod(fd, mode) == 0 && fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  if (ok) ok = rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) {
    unlink(tmp.c_str());
    return false;
  }
  const int dfd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  return true;
}

}  // namespace

std::string HiveFilePath() {
  if (const char* env = std::getenv("PELSOK_HIVE"); env != nullptr && *env != '\0') return env;
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    base = std::string(home) + "/.config";
  } else {
    base = "/tmp";
  }
  return base + "/pelsok/registry.reg";
}

TRegistry::TRegistry() = default;
TRegistry::~TRegistry() = default;

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  const std::string path = HiveFilePath();
  {
    HiveLock lock(path, false);
    RegistryHive hive = LoadHive(path, key);
    if (hive.HasKey(key)) {
      current_ = key;
      open_ = true;
      return true;
    }
  }
  if (!canCreate) return false;
  HiveLock lock(path, true);
  RegistryHive hive = LoadHive(path, key);
  hive.CreateKey(key);
  if (!SaveHive(path, hive)) return false;
  current_ = key;
  open_ = true;
  return true;
}

void TRegistry::CloseKey() {
  open_ = false;
  current_.clear();
}

std::string TRegistry::ReadString(const std::string& subkey, const std::string& name,
                                  const std::string& def) {
  if (!open_) throw ERegistryException(FormatText(kReadFailed, {name}));
  const std::string path = HiveFilePath();
  HiveLock lock(path, false);
  const RegistryHive hive = LoadHive(path, name);
  const RegistryHive::Key* key = hive.FindKey(JoinKey(current_, subkey));
  if (key == nullptr) return def;
  const RegistryValue* v = RegistryHive::FindValue(*key, name);
  if (v == nullptr) return def;
  if (v->type != REG_SZ && v->type != REG_EXPAND_SZ) {
    throw ERegistryException(FormatText(kInvalidType, {name}));
  }
  if (v->data.empty()) return std::string();
  const auto* begin = reinterpret_cast<const char*>(v->data.data());
  return std::string(begin, strnlen(begin, v->data.size()));
}

void TRegistry::WriteString(const std::string& subkey, const std::string& name,
                            const std::string& value) {
  if (!open_) throw ERegistryException(FormatText(kWriteFailed, {name}));
  const std::string path = HiveFilePath();
  HiveLock lock(path, true);
  RegistryHive hive = LoadHive(path, name);
  RegistryHive::Key& key = hive.CreateKey(JoinKey(current_, subkey));
  std::vector<std::uint8_t> data(value.begin(), value.end());
  data.push_back(0);
  RegistryHive::SetValue(key, name, REG_SZ, std::move(data));
  if (!SaveHive(path, hive)) throw ERegistryException(FormatText(kWriteFailed, {name}));
}

std::size_t TRegistry::ReadBinaryData(const std::string& name, void* buf, std::size_t bufSize) {
  if (!open_) throw ERegistryException(FormatText(kReadFailed, {name}));
  const std::string path = HiveFilePath();
  HiveLock lock(path, false);
  const RegistryHive hive = LoadHive(path, name);
  const RegistryHive::Key* key = hive.FindKey(current_);
  if (key == nullptr) return 0;
  const RegistryValue* v = RegistryHive::FindValue(*key, name);
  if (v == nullptr) return 0;
  if (v->type != REG_BINARY || v->data.size() > bufSize) {
    throw ERegistryException(FormatText(kInvalidType, {name}));
  }
  if (!v->data.empty()) std::memcpy(buf, v->data.data(), v->data.size());
  return v->data.size();
}

void TRegistry::WriteBinaryData(const std::string& name, const void* buf, std::size_t size) {
  if (!open_) throw ERegistryException(FormatText(kWriteFailed, {name}));
  const std::string path = HiveFilePath();
  HiveLock lock(path, true);
  RegistryHive hive = LoadHive(path, name);
  RegistryHive::Key& key = hive.CreateKey(current_);
  const auto* p = static_cast<const std::uint8_t*>(buf);
  RegistryHive::SetValue(key, name, REG_BINARY, std::vector<std::uint8_t>(p, p + size));
  if (!SaveHive(path, hive)) throw ERegistryException(FormatText(kWriteFailed, {name}));
}

std::optional<std::uint32_t> TRegistry::GetDataType(const std::string& name) {
  if (!open_) return std::nullopt;
  const std::string path = HiveFilePath();
  HiveLock lock(path, false);
  const RegistryHive hive = LoadHive(path, name);
  const RegistryHive::Key* key = hive.FindKey(current_);
  if (key == nullptr) return std::nullopt;
  const RegistryValue* v = RegistryHive::FindValue(*key, name);
  if (v == nullptr) return std::nullopt;
  return v->type;
}

bool TRegistry::ValueExists(const std::string& name) { return GetDataType(name).has_value(); }

}  // namespace platform
