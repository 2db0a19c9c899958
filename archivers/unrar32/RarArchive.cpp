#include "RarArchive.h"

#include "common/MemberReading.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <locale.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "RarVolumes.h"
#include "platform/TextConvert.h"

namespace unrar {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

std::string NameFrom(archive_entry* e) {
  if (const char* utf8 = archive_entry_pathname_utf8(e)) return utf8;
  const char* raw = archive_entry_pathname(e);
  if (raw == nullptr) return {};
  std::string name = raw;
  if (platform::IsValidUtf8(name)) return name;
  if (auto converted = platform::Cp932ToUtf8(name)) return *converted;
  return name;  // shown through SafeText; the extractor writes the bytes as they are
}

bool WriteAll(int fd, const char* data, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, data, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

}  // namespace

Utf8Locale::Utf8Locale() {
  locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  if (utf8 == static_cast<locale_t>(nullptr)) return;
  utf8_ = utf8;
  previous_ = ::uselocale(utf8);
}

Utf8Locale::~Utf8Locale() {
  if (utf8_ == nullptr) return;
  ::uselocale(static_cast<locale_t>(previous_));
  ::freelocale(static_cast<locale_t>(utf8_));
}

std::string RarMember::Unreadable() const {
  if (encrypted) return "encrypted member (passwords are not supported)";
  if (facts && facts->continuesBefore)
    return "the member begins in an earlier volume; open the set at its first volume";
  if (facts && facts->continuesAfter) return "the member goes on in a volume that is missing";
  if (kind == arc::EntryKind::file && facts && !facts->rar5 && facts->unpackVersion < 29 &&
      facts->method != 0)
    return "compressed by RAR " + std::to_string(facts->unpackVersion / 10) + "." +
           std::to_string(facts->unpackVersion % 10) + ", whose methods this library cannot decode";
  return {};
}

RarArchive::RarArchive(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0)
    throw ArchiveError("cannot open " + path + ": " + std::strerror(errno));
  if (!S_ISREG(st.st_mode)) throw ArchiveError(path + " is not a file");
  volumes_ = VolumeSet(path);
  headers_ = WalkFileHeaders(volumes_);
  a_ = archive_read_new();
  if (a_ == nullptr) throw std::bad_alloc();
  archive_read_support_format_rar(a_);
  archive_read_support_format_rar5(a_);
  std::vector<const char*> names;
  for (const auto& v : volumes_) names.push_back(v.c_str());
  names.push_back(nullptr);
  if (archive_read_open_filenames(a_, names.data(), kBlockSize) != ARCHIVE_OK) {
    const std::string why = LibraryError();
    archive_read_free(a_);
    a_ = nullptr;
    throw ArchiveError(path + " is not a RAR archive (" + why + ")");
  }
}

RarArchive::~RarArchive() {
  if (a_ != nullptr) archive_read_free(a_);
}

std::string RarArchive::LibraryError() const {
  const char* text = a_ ? archive_error_string(a_) : nullptr;
  return text ? text : "a header is cut short or unreadable";
}

NextResult RarArchive::Next(RarMember& m) {
  m = RarMember{};
  // After a member's data failed the reader cannot go on; that failure was
  // already reported with the member's name.
  if (failed_) return NextResult::end;
  archive_entry* e = nullptr;
  int r;
  do {
    r = archive_read_next_header(a_, &e);
  } while (r == ARCHIVE_RETRY);
  if (r == ARCHIVE_EOF) return NextResult::end;
  if (r < ARCHIVE_WARN) {
    failed_ = true;
    const std::string why = LibraryError();
    // Name the member the reader stopped at when its header can be read.
    const RarHeaderFacts* facts = index_ < headers_.size() ? &headers_[index_] : nullptr;
    const std::string which = facts && !facts->name.empty() ? facts->name + ": " : "";
    unsupported_ = true;
    if (facts && facts->solid && !facts->rar5)
      error_ = which +
               "a later member of a solid RAR 1.5-4 archive, which this library cannot decode (" +
               why + ")";
    else if (facts && facts->encrypted)
      error_ = which + "encrypted member (passwords are not supported)";
    else if (why.find("ncryption") != std::string::npos)
      error_ = which + "the archive's headers are encrypted (passwords are not supported)";
    else {
      unsupported_ = false;
      error_ = which + "damaged archive (" + why + ")";
    }
    return NextResult::failed;
  }
  m.name = NameFrom(e);
  switch (archive_entry_filetype(e)) {
    case AE_IFDIR:
      m.kind = arc::EntryKind::folder;
      break;
    case AE_IFLNK:
      m.kind = arc::EntryKind::symlink;
      if (const char* t = archive_entry_symlink_utf8(e)) m.linkTarget = t;
      break;
    case AE_IFREG:
      m.kind = arc::EntryKind::file;
      break;
    default:
      m.kind = arc::EntryKind::special;
  }
  if (m.kind == arc::EntryKind::file) {
    if (const char* hard = archive_entry_hardlink_utf8(e)) {
      m.kind = arc::EntryKind::hardlink;
      m.linkTarget = hard;
    }
  }
  m.sizeKnown = archive_entry_size_is_set(e);
  m.size = m.sizeKnown && archive_entry_size(e) > 0
               ? static_cast<std::uint64_t>(archive_entry_size(e))
               : 0;
  m.mtime = archive_entry_mtime(e);
  m.mode = archive_entry_perm(e);
  m.formatName = archive_format_name(a_) ? archive_format_name(a_) : "RAR";
  // The walked header belongs to this member when the sizes agree.
  if (index_ < headers_.size() && (!m.sizeKnown || headers_[index_].unpackedSize == m.size))
    m.facts = headers_[index_];
  ++index_;
  m.encrypted = archive_entry_is_data_encrypted(e) > 0 || (m.facts && m.facts->encrypted);
  current_ = m.size;
  currentIsFile_ = m.kind == arc::EntryKind::file;
  sizeKnown_ = m.sizeKnown;
  // The reader does not check stored members; the header's CRC-32 of the
  // whole data is checked here for every member that has one.
  expectedCrc_.reset();
  if (m.facts && m.facts->crc && !m.facts->continuesBefore && !m.facts->continuesAfter)
    expectedCrc_ = m.facts->crc;
  dataStart_ = archive_filter_bytes(a_, -1);
  return NextResult::member;
}

std::string RarArchive::ReadData(int fd, const std::function<bool(std::uint64_t)>& progress,
                                 bool& cancelled) {
  cancelled = false;
  if (!currentIsFile_) return {};
  std::vector<char> buffer(kBlockSize);
  std::uint64_t total = 0;
  Crc32Sum crc;
  for (;;) {
    const la_ssize_t n = archive_read_data(a_, buffer.data(), buffer.size());
    if (n == 0) break;
    if (n < 0) {
      if (n <= ARCHIVE_FATAL) failed_ = true;
      error_ = "damaged data (" + LibraryError() + ")";
      return error_;
    }
    total += static_cast<std::uint64_t>(n);
    crc.Add(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    if (sizeKnown_ && total > current_) return "more data than the header announces";
    if (fd >= 0 && !WriteAll(fd, buffer.data(), static_cast<std::size_t>(n)))
      return std::string("cannot write: ") + std::strerror(errno);
    if (fd < 0 && !arc::ReadingData(buffer.data(), static_cast<std::size_t>(n))) {
      cancelled = true;
      return "cancelled";
    }
    if (progress && !progress(static_cast<std::uint64_t>(n))) {
      cancelled = true;
      return "cancelled";
    }
  }
  if (expectedCrc_ && crc.Value() != *expectedCrc_) {
    char text[64];
    std::snprintf(text, sizeof text, "CRC error (stored %08X, data %08X)",
                  static_cast<unsigned>(*expectedCrc_), static_cast<unsigned>(crc.Value()));
    return text;
  }
  if (sizeKnown_ && total != current_)
    return "the data stops after " + std::to_string(total) + " of " + std::to_string(current_) +
           " bytes";
  return {};
}

bool RarArchive::Skip() {
  if (failed_) return false;
  if (archive_read_data_skip(a_) < ARCHIVE_WARN) {
    failed_ = true;
    error_ = "damaged archive (" + LibraryError() + ")";
    return false;
  }
  return true;
}

std::uint64_t RarArchive::PackedSoFar() const {
  const std::int64_t now = archive_filter_bytes(a_, -1);
  return now > dataStart_ ? static_cast<std::uint64_t>(now - dataStart_) : 0;
}

}  // namespace unrar
