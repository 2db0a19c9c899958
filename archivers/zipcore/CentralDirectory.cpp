#include "CentralDirectory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <ctime>

#include "DirectoryLayout.h"
#include "LayoutView.h"
#include "ZipNames.h"
#include "common/ArchiverApi.h"
#include "common/Failure.h"
#include "common/LittleEndian.h"
#include "common/Messages.h"

namespace zipcore {
namespace {

constexpr zip_uint16_t kExtendedTime = 0x5455;

void DosStamp(std::int64_t t, std::uint16_t& date, std::uint16_t& time) {
  std::time_t tt = static_cast<std::time_t>(t);
  std::tm tm{};
  if (localtime_r(&tt, &tm) == nullptr || tm.tm_year < 80 || tm.tm_year > 207) {
    date = (0 << 9) | (1 << 5) | 1;
    time = 0;
    return;
  }
  date = static_cast<std::uint16_t>(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
  time = static_cast<std::uint16_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
}

std::string OpenError(int code) {
  switch (code) {
    case ZIP_ER_NOENT:
      return "書庫がありません";
    case ZIP_ER_MULTIDISK:
      return "分割書庫には対応していません";
    case ZIP_ER_NOZIP:
      return "ZIP の書庫ではありません";
    case ZIP_ER_INCONS:
      return "中央ディレクトリに矛盾があり、書庫が壊れています";
    case ZIP_ER_MEMORY:
      return arc::msg::OutOfMemory();
    default: {
      zip_error_t e;
      zip_error_init_with_code(&e, code);
      std::string text = zip_error_strerror(&e);
      zip_error_fini(&e);
      return text;
    }
  }
}

}  // namespace

std::string MethodName(std::uint16_t method) {
  switch (method) {
    case 0:
      return "stored";
    case 1:
      return "shrink";
    case 2:
    case 3:
    case 4:
    case 5:
      return "reduce";
    case 6:
      return "implode";
    case 8:
      return "deflate";
    case 9:
      return "deflate64";
    case 12:
      return "bzip2";
    case 14:
      return "lzma";
    case 93:
      return "zstd";
    case 95:
      return "xz";
    case 98:
      return "ppmd";
    case 99:
      return "aes";
    default:
      return "方式 " + std::to_string(method);
  }
}

std::int64_t EntryTime(zip_t* z, std::uint64_t index, std::int64_t dosTime, bool* exact) {
  if (exact) *exact = false;
  zip_uint16_t len = 0;
  const zip_uint8_t* p =
      zip_file_extra_field_get_by_id(z, index, kExtendedTime, 0, &len, ZIP_FL_CENTRAL);
  if (p == nullptr)
    p = zip_file_extra_field_get_by_id(z, index, kExtendedTime, 0, &len, ZIP_FL_LOCAL);
  if (p != nullptr && len >= 5 && (p[0] & 1)) {
    const std::uint32_t v = arc::Le32(p + 1);
    if (exact) *exact = true;
    return static_cast<std::int32_t>(v);
  }
  return dosTime;
}

bool SetEntryTime(zip_t* z, std::uint64_t index, std::int64_t t) {
  if (zip_file_set_mtime(z, index, static_cast<time_t>(t), 0) != 0) return false;
  zip_file_extra_field_delete_by_id(z, index, kExtendedTime, ZIP_EXTRA_FIELD_ALL,
                                    ZIP_FL_LOCAL | ZIP_FL_CENTRAL);
  if (t < INT32_MIN || t > INT32_MAX) return true;  // the field holds 32 bits
  const auto v = static_cast<std::uint32_t>(static_cast<std::int32_t>(t));
  const zip_uint8_t data[5] = {1, static_cast<zip_uint8_t>(v), static_cast<zip_uint8_t>(v >> 8),
                               static_cast<zip_uint8_t>(v >> 16),
                               static_cast<zip_uint8_t>(v >> 24)};
  return zip_file_extra_field_set(z, index, kExtendedTime, ZIP_EXTRA_FIELD_NEW, data, sizeof data,
                                  ZIP_FL_LOCAL | ZIP_FL_CENTRAL) == 0;
}

ZipEntry ReadEntry(zip_t* z, std::uint64_t index) {
  ZipEntry e;
  e.index = index;
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(z, index, ZIP_FL_ENC_RAW, &st) != 0)
    throw arc::Failure(arc::kNotArchive,
                       arc::msg::CannotRead("書庫のファイルの情報", zip_strerror(z)));
  e.rawName = st.name ? st.name : "";
  e.name = DecodeStoredName(e.rawName);
  e.folder = !e.name.empty() && e.name.back() == '/';
  e.originalSize = st.size;
  e.compressedSize = st.comp_size;
  e.crc = st.crc;
  e.method = static_cast<std::uint16_t>(st.comp_method);
  e.encrypted = st.encryption_method != ZIP_EM_NONE;
  zip_uint8_t opsys = 0;
  zip_uint32_t attributes = 0;
  zip_file_get_external_attributes(z, index, 0, &opsys, &attributes);
  e.madeBy = opsys;
  e.externalAttributes = attributes;
  if (opsys == ZIP_OPSYS_UNIX) {
    const std::uint32_t mode = attributes >> 16;
    if (S_ISLNK(mode)) e.symlink = true;
    if (S_ISDIR(mode)) e.folder = true;
  } else if (attributes & 0x10) {
    e.folder = true;
  }
  e.mtime = EntryTime(z, index, st.mtime, &e.exactTime);
  DosStamp(e.mtime, e.dosDate, e.dosTime);
  return e;
}

OpenedZip OpenZip(const std::string& path, int flags) {
  DirectoryLayout layout;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat fst {};
  if (fd >= 0 && ::fstat(fd, &fst) == 0 && S_ISREG(fst.st_mode))
    layout = ReadDirectoryLayout(fd, static_cast<std::uint64_t>(fst.st_size));
  if (fd >= 0) ::close(fd);
  int code = 0;
  OpenedZip opened;
  opened.zip.reset(zip_open(path.c_str(), flags, &code));
  // What libzip refuses though the layout is sound: a stub before the
  // archive, names flagged UTF-8 that are not.
  if (!opened.zip && flags == ZIP_RDONLY && layout.found && layout.damage.empty() &&
      (layout.shift != 0 || !layout.falseUtf8Flags.empty())) {
    int viewCode = 0;
    opened.zip.reset(OpenThroughLayoutView(path, layout, viewCode));
  }
  if (!opened.zip) {
    if (code == ZIP_ER_MEMORY) throw arc::Failure(arc::kNoMemory, OpenError(code));
    throw arc::Failure(
        arc::kNotArchive,
        arc::msg::CannotOpen(arc::msg::Quoted(path),
                             layout.damage.empty() ? OpenError(code) : layout.damage));
  }
  if (!layout.damage.empty()) throw arc::Failure(arc::kNotArchive, layout.damage + ": " + path);
  zip_t* z = opened.zip.get();
  const zip_int64_t n = zip_get_num_entries(z, 0);
  opened.entries.reserve(static_cast<std::size_t>(n > 0 ? n : 0));
  for (zip_int64_t i = 0; i < n; ++i)
    opened.entries.push_back(ReadEntry(z, static_cast<std::uint64_t>(i)));
  if (layout.entries.size() == opened.entries.size()) {
    for (std::size_t i = 0; i < layout.entries.size(); ++i) {
      opened.entries[i].localOffset = layout.entries[i].localOffset;
      opened.entries[i].falseUtf8Flag = layout.entries[i].falseUtf8;
    }
  }
  return opened;
}

}  // namespace zipcore
