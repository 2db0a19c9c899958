#include "MspackFiles.h"

#include "common/MemberReading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

namespace cab {

namespace {

struct OpenFile {
  MspackFiles* owner = nullptr;
  int fd = -1;
  bool owned = false;
  bool writing = false;
  std::uint64_t base = 0;      // offset of byte 0 as libmspack sees it
  std::uint64_t position = 0;  // relative to base
};

}  // namespace

struct MspackCallbacks {
  static mspack_file* Open(mspack_system* self, const char* name, int mode) {
    auto* owner = reinterpret_cast<MspackFiles::SystemWithOwner*>(self)->owner;
    auto* f = new (std::nothrow) OpenFile;
    if (f == nullptr) return nullptr;
    f->owner = owner;
    if (mode == MSPACK_SYS_OPEN_WRITE && std::strcmp(name, MspackFiles::kOutputName) == 0) {
      if (owner->writeFd_ < 0 && !owner->toWalk_) {
        delete f;
        return nullptr;
      }
      f->fd = owner->writeFd_;
      f->writing = true;
      return reinterpret_cast<mspack_file*>(f);
    }
    if (mode != MSPACK_SYS_OPEN_READ) {  // libmspack never gets to write elsewhere
      delete f;
      return nullptr;
    }
    f->fd = ::open(name, O_RDONLY | O_CLOEXEC);
    if (f->fd < 0) {
      delete f;
      return nullptr;
    }
    f->owned = true;
    auto it = owner->offsets_.find(name);
    if (it != owner->offsets_.end()) f->base = it->second;
    return reinterpret_cast<mspack_file*>(f);
  }

  static void Close(mspack_file* file) {
    auto* f = reinterpret_cast<OpenFile*>(file);
    if (f == nullptr) return;
    if (f->owned) ::close(f->fd);
    delete f;
  }

  static int Read(mspack_file* file, void* buffer, int bytes) {
    auto* f = reinterpret_cast<OpenFile*>(file);
    if (f == nullptr || f->writing || bytes < 0) return -1;
    auto* p = static_cast<char*>(buffer);
    int done = 0;
    while (done < bytes) {
      const ssize_t n = ::pread(f->fd, p + done, static_cast<std::size_t>(bytes - done),
                                static_cast<off_t>(f->base + f->position));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return -1;
      if (n == 0) break;
      done += static_cast<int>(n);
      f->position += static_cast<std::uint64_t>(n);
    }
    return done;
  }

  static int Write(mspack_file* file, void* buffer, int bytes) {
    auto* f = reinterpret_cast<OpenFile*>(file);
    if (f == nullptr || !f->writing || bytes < 0) return -1;
    const auto* p = static_cast<const char*>(buffer);
    if (f->owner->toWalk_) {
      if (arc::ReadingData(p, static_cast<std::size_t>(bytes))) return bytes;
      f->owner->writeFailed_ = true;
      return -1;
    }
    int done = 0;
    while (done < bytes) {
      const ssize_t n = ::write(f->fd, p + done, static_cast<std::size_t>(bytes - done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        f->owner->writeFailed_ = true;
        return -1;
      }
      done += static_cast<int>(n);
    }
    return done;
  }

  static int Seek(mspack_file* file, off_t offset, int mode) {
    auto* f = reinterpret_cast<OpenFile*>(file);
    if (f == nullptr || f->writing) return -1;
    std::int64_t target = offset;
    if (mode == MSPACK_SYS_SEEK_CUR) {
      target += static_cast<std::int64_t>(f->position);
    } else if (mode == MSPACK_SYS_SEEK_END) {
      struct stat st {};
      if (::fstat(f->fd, &st) != 0) return -1;
      target += static_cast<std::int64_t>(st.st_size) - static_cast<std::int64_t>(f->base);
    } else if (mode != MSPACK_SYS_SEEK_START) {
      return -1;
    }
    if (target < 0) return -1;
    f->position = static_cast<std::uint64_t>(target);
    return 0;
  }

  static off_t Tell(mspack_file* file) {
    auto* f = reinterpret_cast<OpenFile*>(file);
    return f == nullptr ? -1 : static_cast<off_t>(f->position);
  }

  // libmspack's warnings ("WARNING; ...") are not shown: damage reaches the
  // caller through the result of each call.
  static void Message(mspack_file*, const char*, ...) {}

  static void* Alloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }
  static void Free(void* p) { std::free(p); }
  static void Copy(void* src, void* dest, size_t bytes) { std::memcpy(dest, src, bytes); }
};

MspackFiles::MspackFiles() {
  system_.base = mspack_system{&MspackCallbacks::Open,
                               &MspackCallbacks::Close,
                               &MspackCallbacks::Read,
                               &MspackCallbacks::Write,
                               &MspackCallbacks::Seek,
                               &MspackCallbacks::Tell,
                               &MspackCallbacks::Message,
                               &MspackCallbacks::Alloc,
                               &MspackCallbacks::Free,
                               &MspackCallbacks::Copy,
                               nullptr};
  system_.owner = this;
}

}  // namespace cab
