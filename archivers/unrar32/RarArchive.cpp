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
#include "common/Messages.h"
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

la_ssize_t MendedRead(archive* a, void* data, const void** buffer) {
  try {
    const std::string_view piece = static_cast<Rar5HeaderMend*>(data)->Read();
    *buffer = piece.data();
    return static_cast<la_ssize_t>(piece.size());
  } catch (const std::exception& e) {
    archive_set_error(a, EIO, "%s", e.what());
    return -1;
  }
}

int MendedSwitch(archive*, void*, void*) { return ARCHIVE_OK; }

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
  if (encrypted) return arc::msg::Encrypted();
  if (facts && facts->continuesBefore)
    return "前の分割書庫から続いています (最初の分割書庫から開いてください)";
  if (facts && facts->continuesAfter) return "続きの分割書庫が見つかりません";
  if (kind == arc::EntryKind::file && facts && !facts->rar5 && facts->unpackVersion < 29 &&
      facts->method != 0)
    return "RAR " + std::to_string(facts->unpackVersion / 10) + "." +
           std::to_string(facts->unpackVersion % 10) +
           " で圧縮されています (このライブラリはその方式を展開できません)";
  return {};
}

RarArchive::RarArchive(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0)
    throw ArchiveError(arc::msg::CannotOpen(arc::msg::Quoted(path), std::strerror(errno)));
  if (!S_ISREG(st.st_mode))
    throw ArchiveError(arc::msg::Quoted(path) + " は通常のファイルではありません");
  volumes_ = VolumeSet(path);
  headers_ = WalkFileHeaders(volumes_);
  middleOfSet_ = !headers_.empty() && headers_.front().continuesBefore;
  for (const auto& v : volumes_) mendHeaders_ = mendHeaders_ || NeedsHeaderMend(v);
  std::string why;
  a_ = OpenReader(why);
  if (a_ == nullptr) throw ArchiveError(arc::msg::NotArchive(path, "RAR", why));
}

// A reader over the volumes, at the first member; nullptr with why when it
// does not open.
archive* RarArchive::OpenReader(std::string& why) {
  archive* a = archive_read_new();
  if (a == nullptr) throw std::bad_alloc();
  archive_read_support_format_rar(a);
  archive_read_support_format_rar5(a);
  if (mendHeaders_) {
    // Each volume read through its mender, one callback data a volume.
    menders_.clear();
    for (const auto& v : volumes_) menders_.push_back(std::make_unique<Rar5HeaderMend>(v));
    archive_read_set_read_callback(a, &MendedRead);
    archive_read_set_switch_callback(a, &MendedSwitch);
    archive_read_set_callback_data(a, menders_.front().get());
    for (std::size_t i = 1; i < menders_.size(); ++i)
      archive_read_append_callback_data(a, menders_[i].get());
    if (archive_read_open1(a) != ARCHIVE_OK) {
      const char* text = archive_error_string(a);
      why = text ? text : "ヘッダーが途中で切れているか、読み込めません";
      archive_read_free(a);
      return nullptr;
    }
    return a;
  }
  std::vector<const char*> names;
  for (const auto& v : volumes_) names.push_back(v.c_str());
  names.push_back(nullptr);
  if (archive_read_open_filenames(a, names.data(), kBlockSize) != ARCHIVE_OK) {
    const char* text = archive_error_string(a);
    why = text ? text : "ヘッダーが途中で切れているか、読み込めません";
    archive_read_free(a);
    return nullptr;
  }
  return a;
}

// After a member's data failed the reader is spent; in an archive that is
// not solid every member starts afresh, so a new reader skips the members
// already read (without decoding them) and goes on with the next.
bool RarArchive::Resume() {
  for (const auto& h : headers_)
    if (h.solid) return false;
  if (index_ >= headers_.size()) return false;
  std::string why;
  archive* fresh = OpenReader(why);
  if (fresh == nullptr) return false;
  for (std::size_t i = 0; i < index_; ++i) {
    archive_entry* e = nullptr;
    int r;
    do {
      r = archive_read_next_header(fresh, &e);
    } while (r == ARCHIVE_RETRY);
    if (r < ARCHIVE_WARN || archive_read_data_skip(fresh) < ARCHIVE_WARN) {
      archive_read_free(fresh);
      return false;
    }
  }
  archive_read_free(a_);
  a_ = fresh;
  failed_ = false;
  return true;
}

// RAR 2.9-4 members longer than the window they were packed with come out
// wrong from this build's decoder (a fault of the decoder, not of the
// archive): when all of such a member's packed data is there, its failure
// is reported as one this build cannot decode.
std::string RarArchive::KnownDecoderFault(const std::string& why) const {
  if (!currentFacts_) return {};
  const RarHeaderFacts& f = *currentFacts_;
  if (f.rar5 || f.method == 0 || f.unpackVersion < 29 || f.dictionaryBytes == 0 ||
      f.unpackedSize <= f.dictionaryBytes || !f.dataComplete)
    return {};
  static const char* const kMethods[] = {"", "最速", "高速", "標準", "高圧縮", "最高圧縮"};
  return "この版の展開部では復号できません: RAR " + std::to_string(f.unpackVersion / 10) + "." +
         std::to_string(f.unpackVersion % 10) + " の方式「" + kMethods[f.method] + "」で辞書 " +
         std::to_string(f.dictionaryBytes / 1024) +
         " KiB より長いメンバーは正しく復号されないため、書庫の破損とは判断しません (" + why + ")";
}

RarArchive::~RarArchive() {
  if (a_ != nullptr) archive_read_free(a_);
}

std::string RarArchive::LibraryError() const {
  const char* text = a_ ? archive_error_string(a_) : nullptr;
  return text ? text : "ヘッダーが途中で切れているか、読み込めません";
}

NextResult RarArchive::Next(RarMember& m) {
  m = RarMember{};
  // After a member's data failed the reader cannot go on; that failure was
  // already reported with the member's name.
  if (failed_ && !Resume()) return NextResult::end;
  if (middleOfSet_ && index_ == 0) {
    failed_ = true;
    unsupported_ = true;
    error_ = volumes_.front() + ": この巻は組の最初の巻ではありません。最初の巻から開いてください";
    return NextResult::failed;
  }
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
      error_ = which + "RAR 1.5-4 のソリッド書庫の 2 番目以降のファイルは展開できません" +
               arc::msg::Because(why);
    else if (facts && facts->encrypted)
      error_ = which + arc::msg::Encrypted();
    else if (why.find("ncryption") != std::string::npos)
      error_ = which + "書庫のヘッダーが暗号化されています (パスワードには対応していません)";
    else {
      unsupported_ = false;
      error_ = which + "書庫が壊れています" + arc::msg::Because(why);
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
    case 0:  // a Unix mode without type bits: a regular file, as ZIP takes it
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
  currentFacts_ = m.facts;
  dataStart_ = archive_filter_bytes(a_, -1);
  return NextResult::member;
}

std::string RarArchive::ReadData(int fd, const std::function<bool(std::uint64_t)>& progress,
                                 bool& cancelled) {
  cancelled = false;
  undecodable_ = false;
  if (!currentIsFile_) return {};
  std::vector<char> buffer(kBlockSize);
  std::uint64_t total = 0;
  Crc32Sum crc;
  for (;;) {
    const la_ssize_t n = archive_read_data(a_, buffer.data(), buffer.size());
    if (n == 0) break;
    if (n < 0) {
      if (n <= ARCHIVE_FATAL) failed_ = true;
      error_ = KnownDecoderFault(LibraryError());
      undecodable_ = !error_.empty();
      if (error_.empty()) error_ = "データが壊れています" + arc::msg::Because(LibraryError());
      return error_;
    }
    total += static_cast<std::uint64_t>(n);
    crc.Add(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    if (sizeKnown_ && total > current_)
      return "データがヘッダーに記録されたサイズより長くなっています";
    if (fd >= 0 && !WriteAll(fd, buffer.data(), static_cast<std::size_t>(n)))
      return arc::msg::CannotWrite("ファイル", std::strerror(errno));
    if (fd < 0 && !arc::ReadingData(buffer.data(), static_cast<std::size_t>(n))) {
      cancelled = true;
      return "cancelled";
    }
    if (progress && !progress(static_cast<std::uint64_t>(n))) {
      cancelled = true;
      return arc::msg::Cancelled();
    }
  }
  if (expectedCrc_ && crc.Value() != *expectedCrc_) {
    char text[64];
    std::snprintf(text, sizeof text, "記録 %08X、データ %08X", static_cast<unsigned>(*expectedCrc_),
                  static_cast<unsigned>(crc.Value()));
    const std::string mismatch = arc::msg::CrcMismatch() + arc::msg::Because(text);
    if (std::string fault = KnownDecoderFault(mismatch); !fault.empty()) {
      undecodable_ = true;
      return fault;
    }
    return mismatch;
  }
  if (sizeKnown_ && total != current_)
    return "データが " + std::to_string(current_) + " バイト中 " + std::to_string(total) +
           " バイトで途切れています";
  return {};
}

bool RarArchive::Skip() {
  if (failed_) return false;
  if (archive_read_data_skip(a_) < ARCHIVE_WARN) {
    failed_ = true;
    error_ = "書庫が壊れています" + arc::msg::Because(LibraryError());
    return false;
  }
  return true;
}

std::uint64_t RarArchive::PackedSoFar() const {
  const std::int64_t now = archive_filter_bytes(a_, -1);
  return now > dataStart_ ? static_cast<std::uint64_t>(now - dataStart_) : 0;
}

}  // namespace unrar
