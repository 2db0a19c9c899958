#include "TarReader.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "GzipStream.h"
#include "XzStream.h"
#include "ZstdStream.h"
#include "common/Messages.h"
#include "platform/TextConvert.h"

namespace tararc {

// The file's own bytes, read with pread from the offset on (for the
// decompressing source, and for a plain tar through the mender).
struct FileCallbacks {
  static la_ssize_t Read(struct archive*, void* data, const void** buf) {
    auto* r = static_cast<TarReader*>(data);
    const std::size_t n = r->PullPlain(r->buffer_.data(), r->buffer_.size());
    if (n == static_cast<std::size_t>(-1)) return -1;
    *buf = r->buffer_.data();
    return static_cast<la_ssize_t>(n);
  }
};

// What the tar reader reads: the mended stream.
struct ReaderCallbacks {
  static la_ssize_t Read(struct archive* a, void* data, const void** buf) {
    auto* r = static_cast<TarReader*>(data);
    try {
      const std::string_view piece = r->mend_->Read();
      if (!r->sourceError_.empty()) {
        archive_set_error(a, EIO, "%s", r->sourceError_.c_str());
        return -1;
      }
      *buf = piece.data();
      return static_cast<la_ssize_t>(piece.size());
    } catch (const std::exception& e) {
      archive_set_error(a, EIO, "%s", e.what());
      return -1;
    }
  }
  static la_int64_t Skip(struct archive*, void* data, la_int64_t request) {
    auto* r = static_cast<TarReader*>(data);
    if (request <= 0) return 0;
    return static_cast<la_int64_t>(r->mend_->Skip(static_cast<std::uint64_t>(request)));
  }
};

namespace {

std::string BaseName(const std::string& path) {
  std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool EndsWith(const std::string& s, const std::string& tail) {
  if (s.size() <= tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[s.size() - tail.size() + i])) != tail[i])
      return false;
  return true;
}

// The name of the one member of a lone compressed file: the file's own name
// without its compression suffix.
std::string LoneMemberName(const std::string& displayName) {
  std::string base = BaseName(displayName);
  for (const char* tail : {".gz", ".bz2", ".z", ".xz", ".zst"})
    if (EndsWith(base, tail)) return base.substr(0, base.size() - std::strlen(tail));
  return base + ".out";
}

// Our decoder of a compression, or none when libarchive decodes it.
std::unique_ptr<DecodedStream> OpenDecoded(int fd, std::uint64_t offset, Compression c) {
  switch (c) {
    case Compression::gzip:
      return std::make_unique<GzipStream>(fd, offset);
    case Compression::xz:
      return std::make_unique<XzStream>(fd, offset);
    case Compression::zstd:
      return std::make_unique<ZstdStream>(fd, offset);
    default:
      return nullptr;
  }
}

}  // namespace

const char* CompressionName(Compression c) {
  switch (c) {
    case Compression::gzip:
      return "gzip";
    case Compression::bzip2:
      return "bzip2";
    case Compression::compress:
      return "lzw";
    case Compression::xz:
      return "xz";
    case Compression::zstd:
      return "zstd";
    case Compression::none:
      break;
  }
  return "tar";
}

TarReader::TarReader(int fd, std::uint64_t offset, const std::string& displayName)
    : fd_(fd), offset_(offset), display_(displayName), buffer_(1 << 16, '\0') {
  OpenSource();
  a_ = archive_read_new();
  if (a_ == nullptr) throw std::bad_alloc();
  archive_read_support_format_tar(a_);
  archive_read_support_format_gnutar(a_);
  archive_read_support_format_raw(a_);
  archive_read_set_read_callback(a_, &ReaderCallbacks::Read);
  archive_read_set_skip_callback(a_, &ReaderCallbacks::Skip);
  archive_read_set_callback_data(a_, this);
  if (archive_read_open1(a_) != ARCHIVE_OK) {
    const std::string why =
        archive_error_string(a_) ? archive_error_string(a_) : "形式が分かりません";
    archive_read_free(a_);
    a_ = nullptr;
    if (source_ != nullptr) archive_read_free(source_);
    source_ = nullptr;
    throw ReadError(arc::msg::NotArchive(display_, "tar", why));
  }
}

// Finds the compression with libarchive's filters; a compressed file is
// read on through them, a plain one straight from the descriptor (so a
// member's data can be passed over without reading it).
void TarReader::OpenSource() {
  source_ = archive_read_new();
  if (source_ == nullptr) throw std::bad_alloc();
  archive_read_support_filter_gzip(source_);
  archive_read_support_filter_bzip2(source_);
  archive_read_support_filter_compress(source_);
  archive_read_support_filter_xz(source_);
  archive_read_support_filter_zstd(source_);
  archive_read_support_format_raw(source_);
  archive_read_set_read_callback(source_, &FileCallbacks::Read);
  archive_read_set_callback_data(source_, this);
  archive_entry* e = nullptr;
  if (archive_read_open1(source_) != ARCHIVE_OK ||
      archive_read_next_header(source_, &e) != ARCHIVE_OK) {
    const std::string why =
        archive_error_string(source_) ? archive_error_string(source_) : "形式がわかりません";
    archive_read_free(source_);
    source_ = nullptr;
    throw ReadError(arc::msg::NotArchive(display_, "tar", why));
  }
  for (int i = 0; i < archive_filter_count(source_); ++i) {
    switch (archive_filter_code(source_, i)) {
      case ARCHIVE_FILTER_GZIP:
        compression_ = Compression::gzip;
        break;
      case ARCHIVE_FILTER_BZIP2:
        compression_ = Compression::bzip2;
        break;
      case ARCHIVE_FILTER_COMPRESS:
        compression_ = Compression::compress;
        break;
      case ARCHIVE_FILTER_XZ:
        compression_ = Compression::xz;
        break;
      case ARCHIVE_FILTER_ZSTD:
        compression_ = Compression::zstd;
        break;
      default:
        break;
    }
  }
  // One compression, of a kind we decode ourselves: libarchive only found it.
  if (archive_filter_count(source_) == 2 && (decoded_ = OpenDecoded(fd_, offset_, compression_))) {
    archive_read_free(source_);
    source_ = nullptr;
    mend_ = std::make_unique<TarStreamMend>(
        [this](char* to, std::size_t n) { return PullDecoded(to, n); },
        [this](std::uint64_t n) { return PassDecoded(n); },
        [this](std::size_t n) { return BorrowDecoded(n); });
    return;
  }
  if (compression_ != Compression::none) {
    mend_ = std::make_unique<TarStreamMend>(
        [this](char* to, std::size_t n) { return PullDecompressed(to, n); }, nullptr);
    return;
  }
  archive_read_free(source_);
  source_ = nullptr;
  pos_ = 0;
  mend_ = std::make_unique<TarStreamMend>(
      [this](char* to, std::size_t n) {
        const std::size_t got = PullPlain(to, n);
        return got == static_cast<std::size_t>(-1) ? 0 : got;
      },
      [this](std::uint64_t n) {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return std::uint64_t{0};
        const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
        const std::uint64_t at = offset_ + pos_;
        const std::uint64_t done = std::min(n, size > at ? size - at : 0);
        pos_ += done;
        return done;
      });
}

// Up to n bytes of the file at the read position; -1 on an error (kept in
// sourceError_).
std::size_t TarReader::PullPlain(char* to, std::size_t n) {
  for (;;) {
    const ssize_t got = ::pread(fd_, to, n, static_cast<off_t>(offset_ + pos_));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      sourceError_ = arc::msg::CannotRead(arc::msg::Quoted(display_), std::strerror(errno));
      return static_cast<std::size_t>(-1);
    }
    pos_ += static_cast<std::uint64_t>(got);
    return static_cast<std::size_t>(got);
  }
}

std::size_t TarReader::PullDecompressed(char* to, std::size_t n) {
  const la_ssize_t got = archive_read_data(source_, to, n);
  if (got < 0) {
    const char* why = archive_error_string(source_);
    sourceError_ = why ? why : "圧縮されたデータが壊れています";
    return 0;
  }
  return static_cast<std::size_t>(got);
}

std::size_t TarReader::PullDecoded(char* to, std::size_t n) {
  try {
    return decoded_->Read(to, n);
  } catch (const std::exception& e) {
    sourceError_ = e.what();
    return 0;
  }
}

std::string_view TarReader::BorrowDecoded(std::size_t n) {
  try {
    return decoded_->Next(n);
  } catch (const std::exception& e) {
    sourceError_ = e.what();
    return {};
  }
}

std::uint64_t TarReader::PassDecoded(std::uint64_t n) {
  try {
    return decoded_->Skip(n);
  } catch (const std::exception& e) {
    sourceError_ = e.what();
    return 0;
  }
}

void TarReader::VerifyStream() {
  try {
    if (decoded_) {
      // Checked whole here when it fits in memory; else when its end is read.
      decoded_->DecodeAhead();
      return;
    }
    // Compressed more than once: the file's own stream is checked alone.
    if (auto outer = OpenDecoded(fd_, offset_, compression_)) outer->Finish();
  } catch (const std::exception& e) {
    throw ReadError(arc::msg::Quoted(display_) + ": " + e.what());
  }
}

TarReader::~TarReader() {
  if (a_ != nullptr) archive_read_free(a_);
  if (source_ != nullptr) archive_read_free(source_);
}

void TarReader::Check(int status, const char* what) {
  if (status >= ARCHIVE_WARN) return;
  const char* why = archive_error_string(a_);
  throw ReadError(arc::msg::Quoted(display_) + ": " + what +
                  arc::msg::Because(why ? why : "書庫が壊れています"));
}

std::string TarReader::MemberName(archive_entry* e) const {
  if (lone_) return LoneMemberName(display_);
  const char* raw = archive_entry_pathname(e);
  std::string name = raw ? raw : "";
  if (name.empty()) {
    const char* utf8 = archive_entry_pathname_utf8(e);
    if (utf8) name = utf8;
  }
  if (!platform::IsValidUtf8(name) && platform::IsValidCp932(name))
    if (auto converted = platform::Cp932ToUtf8(name)) name = *converted;
  return name;
}

bool TarReader::Next(Member& m) {
  archive_entry* e = nullptr;
  const int status = archive_read_next_header(a_, &e);
  if (status == ARCHIVE_EOF) {
    // Only the end blocks: an empty tar archive.
    if (first_ && archive_format(a_) == ARCHIVE_FORMAT_RAW)
      throw ReadError(arc::msg::NotArchive(display_, "tar", "ファイルがありません"));
    // The tar ends before its stream does: the rest is read for the checks.
    if (decoded_) {
      try {
        decoded_->Finish();
      } catch (const std::exception& e) {
        throw ReadError(arc::msg::Quoted(display_) + ": " + e.what());
      }
    }
    return false;
  }
  Check(status, "ファイルのヘッダーを読み込めません");
  if (first_) {
    first_ = false;
    if (archive_format(a_) == ARCHIVE_FORMAT_RAW) {
      // Any data reads as "raw"; only a compressed file counts as one.
      if (compression_ == Compression::none)
        throw ReadError(arc::msg::NotArchive(display_, "tar", "形式が分かりません"));
      lone_ = true;
    }
  }
  current_ = e;
  m = Member{};
  m.name = MemberName(e);
  m.size = archive_entry_size_is_set(e) && archive_entry_size(e) > 0
               ? static_cast<std::uint64_t>(archive_entry_size(e))
               : 0;
  m.mtime = archive_entry_mtime(e);
  m.mode = static_cast<std::uint32_t>(archive_entry_perm(e)) & 07777;
  if (lone_) m.mode = 0644;
  const char* hard = archive_entry_hardlink(e);
  if (hard != nullptr) {
    m.kind = arc::EntryKind::hardlink;
    m.linkTarget = hard;
    return true;
  }
  switch (archive_entry_filetype(e)) {
    case AE_IFREG:
      m.kind = arc::EntryKind::file;
      break;
    case AE_IFDIR:
      m.kind = arc::EntryKind::folder;
      break;
    case AE_IFLNK:
      m.kind = arc::EntryKind::symlink;
      if (const char* t = archive_entry_symlink(e)) m.linkTarget = t;
      break;
    default:
      m.kind = arc::EntryKind::special;
      break;
  }
  return true;
}

TarReader::Copy TarReader::CopyData(int out, const std::function<bool(std::uint64_t)>& onBytes) {
  std::uint64_t end = 0;
  for (;;) {
    const void* buf = nullptr;
    size_t size = 0;
    la_int64_t at = 0;
    const int status = archive_read_data_block(a_, &buf, &size, &at);
    if (status == ARCHIVE_EOF) break;
    Check(status, "ファイルのデータを読み込めません");
    const char* p = static_cast<const char*>(buf);
    std::uint64_t pos = static_cast<std::uint64_t>(at);
    for (std::size_t done = 0; done < size;) {
      ssize_t n = ::pwrite(out, p + done, size - done, static_cast<off_t>(pos + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) throw std::runtime_error(arc::msg::CannotWrite("ファイル", std::strerror(errno)));
      done += static_cast<std::size_t>(n);
    }
    end = std::max<std::uint64_t>(end, pos + size);
    if (onBytes && !onBytes(size)) return Copy::stopped;
  }
  std::uint64_t length = end;
  if (!lone_ && current_ != nullptr && archive_entry_size_is_set(current_))
    length =
        std::max<std::uint64_t>(length, static_cast<std::uint64_t>(archive_entry_size(current_)));
  if (::ftruncate(out, static_cast<off_t>(length)) != 0)
    throw std::runtime_error(arc::msg::CannotWrite("ファイル", std::strerror(errno)));
  return Copy::done;
}

TarReader::Copy TarReader::ReadData(const std::function<bool(const char*, std::size_t)>& take,
                                    const std::function<bool(std::uint64_t)>& onBytes) {
  static const std::string zeros(1 << 16, '\0');
  std::uint64_t pos = 0;
  auto fill = [&](std::uint64_t to) {
    while (pos < to) {
      const std::size_t n =
          static_cast<std::size_t>(std::min<std::uint64_t>(to - pos, zeros.size()));
      if (!take(zeros.data(), n)) return false;
      pos += n;
    }
    return true;
  };
  for (;;) {
    const void* buf = nullptr;
    size_t size = 0;
    la_int64_t at = 0;
    const int status = archive_read_data_block(a_, &buf, &size, &at);
    if (status == ARCHIVE_EOF) break;
    Check(status, "メンバーのデータを読めません");
    const auto start = static_cast<std::uint64_t>(at);
    if (start < pos) throw ReadError("メンバーのデータの範囲が重なっています");
    if (!fill(start) || !take(static_cast<const char*>(buf), size)) return Copy::stopped;
    pos += size;
    if (onBytes && !onBytes(size)) return Copy::stopped;
  }
  if (!lone_ && current_ != nullptr && archive_entry_size_is_set(current_) &&
      !fill(static_cast<std::uint64_t>(archive_entry_size(current_))))
    return Copy::stopped;
  return Copy::done;
}

std::uint64_t TarReader::CountData() {
  std::uint64_t end = 0;
  for (;;) {
    const void* buf = nullptr;
    size_t size = 0;
    la_int64_t at = 0;
    const int status = archive_read_data_block(a_, &buf, &size, &at);
    if (status == ARCHIVE_EOF) return end;
    Check(status, "ファイルのデータを読み込めません");
    end = std::max<std::uint64_t>(end, static_cast<std::uint64_t>(at) + size);
  }
}

ArchiveType TarReader::Type() const {
  switch (compression_) {
    case Compression::none:
      return kTar;
    case Compression::gzip:
      return lone_ ? kLoneGzip : kTarGzip;
    case Compression::compress:
      return lone_ ? kLoneCompress : kTarCompress;
    case Compression::bzip2:
      return lone_ ? kLoneBzip2 : kTarBzip2;
    case Compression::xz:
      return lone_ ? kLoneXz : kTarXz;
    case Compression::zstd:
      return lone_ ? kLoneZstd : kTarZstd;
  }
  return kNotTar;
}

ArchiveType DetectType(int fd, std::uint64_t offset, const std::string& displayName) {
  try {
    TarReader reader(fd, offset, displayName);
    Member m;
    reader.Next(m);
    return reader.Type();
  } catch (const std::exception&) {
    return kNotTar;
  }
}

}  // namespace tararc
