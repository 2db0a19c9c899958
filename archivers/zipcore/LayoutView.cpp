#include "LayoutView.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace zipcore {
namespace {

struct View {
  int fd = -1;
  std::uint64_t start = 0, size = 0, pos = 0;
  std::vector<std::uint64_t> clear;  // file positions of the flag bytes holding bit 11
  zip_error_t error;
};

zip_int64_t Read(View& v, void* data, zip_uint64_t len) {
  const std::uint64_t n = std::min<std::uint64_t>(len, v.size - std::min(v.pos, v.size));
  auto* out = static_cast<std::uint8_t*>(data);
  std::uint64_t got = 0;
  while (got < n) {
    const ssize_t r = ::pread(v.fd, out + got, n - got, static_cast<off_t>(v.start + v.pos + got));
    if (r < 0) {
      zip_error_set(&v.error, ZIP_ER_READ, errno);
      return -1;
    }
    if (r == 0) break;
    got += static_cast<std::uint64_t>(r);
  }
  const std::uint64_t from = v.start + v.pos;
  for (std::uint64_t at : v.clear)
    if (at >= from && at < from + got) out[at - from] &= static_cast<std::uint8_t>(~0x08);
  v.pos += got;
  return static_cast<zip_int64_t>(got);
}

zip_int64_t Callback(void* user, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
  View& v = *static_cast<View*>(user);
  switch (cmd) {
    case ZIP_SOURCE_OPEN:
      v.pos = 0;
      return 0;
    case ZIP_SOURCE_READ:
      return Read(v, data, len);
    case ZIP_SOURCE_CLOSE:
      return 0;
    case ZIP_SOURCE_STAT: {
      auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &v.error);
      if (st == nullptr) return -1;
      zip_stat_init(st);
      st->valid |= ZIP_STAT_SIZE;
      st->size = v.size;
      return sizeof(*st);
    }
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&v.error, data, len);
    case ZIP_SOURCE_FREE:
      if (v.fd >= 0) ::close(v.fd);
      zip_error_fini(&v.error);
      delete &v;
      return 0;
    case ZIP_SOURCE_SEEK: {
      const zip_int64_t to = zip_source_seek_compute_offset(v.pos, v.size, data, len, &v.error);
      if (to < 0) return -1;
      v.pos = static_cast<std::uint64_t>(to);
      return 0;
    }
    case ZIP_SOURCE_TELL:
      return static_cast<zip_int64_t>(v.pos);
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(
          ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
          ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS, -1);
    default:
      zip_error_set(&v.error, ZIP_ER_OPNOTSUPP, 0);
      return -1;
  }
}

}  // namespace

zip_t* OpenThroughLayoutView(const std::string& path, const DirectoryLayout& layout, int& code) {
  auto* v = new View;
  zip_error_init(&v->error);
  v->fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (v->fd < 0 || ::fstat(v->fd, &st) != 0 ||
      static_cast<std::uint64_t>(st.st_size) < layout.shift) {
    code = ZIP_ER_OPEN;
    if (v->fd >= 0) ::close(v->fd);
    zip_error_fini(&v->error);
    delete v;
    return nullptr;
  }
  v->start = layout.shift;
  v->size = static_cast<std::uint64_t>(st.st_size) - layout.shift;
  // Bit 11 is in the flag word's second byte.
  for (std::uint64_t at : layout.falseUtf8Flags) v->clear.push_back(at + 1);
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_function_create(Callback, v, &error);
  if (source == nullptr) {
    code = zip_error_code_zip(&error);
    zip_error_fini(&error);
    ::close(v->fd);
    zip_error_fini(&v->error);
    delete v;
    return nullptr;
  }
  zip_t* z = zip_open_from_source(source, ZIP_RDONLY, &error);
  if (z == nullptr) {
    code = zip_error_code_zip(&error);
    zip_source_free(source);  // frees the view
  }
  zip_error_fini(&error);
  return z;
}

}  // namespace zipcore
