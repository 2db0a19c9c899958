// c: packs files into a new tar archive (pax-compatible ustar: UTF-8 names,
// 64-bit sizes and times in pax headers where ustar has no room), plain or
// compressed. The archive is written to a temporary file and renamed into
// place only when whole; any failure leaves the old archive as it was.
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <optional>

#include "Commands.h"
#include "ParallelBzip2.h"
#include "ParallelGzip.h"
#include "SourceGatherer.h"
#include "StreamCompressor.h"
#include "common/ArchiverApi.h"
#include "common/Messages.h"
#include "common/ReplacementFile.h"
#include "common/SafeText.h"

namespace tar32 {
namespace {

constexpr std::size_t kChunk = 1 << 20;

// Where libarchive's output goes: the file, or the compressor in front of
// it (xz or zstd; gzip or bzip2 on every core).
struct WriteTarget {
  int fd;
  StreamCompressor* compressor = nullptr;  // xz or zstd, when set
  ParallelGzip* gzip = nullptr;            // the tar stream goes through it when set
  ParallelBzip2* bzip2 = nullptr;          // or through this one
  static la_ssize_t Write(struct archive* a, void* data, const void* buf, size_t size) {
    auto* t = static_cast<WriteTarget*>(data);
    if (t->compressor != nullptr) {
      if (t->compressor->Write(buf, size)) return static_cast<la_ssize_t>(size);
      archive_set_error(a, EIO, "%s", t->compressor->why().c_str());
      return -1;
    }
    if (t->gzip || t->bzip2) {
      try {  // nothing may be thrown through libarchive
        if (t->gzip ? t->gzip->Write(buf, size) : t->bzip2->Write(buf, size))
          return static_cast<la_ssize_t>(size);
        // The reason goes with the failure (a full disk says so).
        int err = t->gzip ? t->gzip->Error() : t->bzip2->Error();
        if (err == 0) err = EIO;
        archive_set_error(a, err, "%s", std::strerror(err));
        return -1;
      } catch (const std::exception& e) {
        archive_set_error(a, EIO, "%s", e.what());
        return -1;
      }
    }
    const char* p = static_cast<const char*>(buf);
    for (std::size_t done = 0; done < size;) {
      ssize_t n = ::write(t->fd, p + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        // The reason goes with the failure (a full disk says so).
        const int err = n < 0 ? errno : EIO;
        archive_set_error(a, err, "%s", std::strerror(err));
        return -1;
      }
      done += static_cast<std::size_t>(n);
    }
    return static_cast<la_ssize_t>(size);
  }
};

struct ArchiveWriter {
  archive* a = archive_write_new();
  ~ArchiveWriter() {
    if (a) archive_write_free(a);
  }
  [[noreturn]] void Fail(std::int32_t result, const std::string& what) {
    const char* why = archive_error_string(a);
    throw arc::Failure(result, what + (why ? std::string(": ") + why : std::string()));
  }
};

struct Entry {
  archive_entry* e = archive_entry_new();
  ~Entry() { archive_entry_free(e); }
};

struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

// The data regions of a file with holes, or empty when it has none.
std::vector<std::pair<off_t, off_t>> DataRegions(int fd, off_t size) {
  std::vector<std::pair<off_t, off_t>> regions;
  off_t firstHole = ::lseek(fd, 0, SEEK_HOLE);
  if (firstHole < 0 || firstHole >= size) return regions;
  for (off_t at = 0; at < size;) {
    off_t data = ::lseek(fd, at, SEEK_DATA);
    if (data < 0) break;  // only a hole up to the end
    off_t hole = ::lseek(fd, data, SEEK_HOLE);
    if (hole < 0) hole = size;
    regions.emplace_back(data, hole - data);
    at = hole;
  }
  ::lseek(fd, 0, SEEK_SET);
  return regions;
}

// Feeds a file's data to the writer; holes of a sparse file are passed as
// zeros without reading them (the writer leaves them out).
void WriteData(ArchiveWriter& w, int fd, const Source& s,
               const std::vector<std::pair<off_t, off_t>>& regions, arc::Progress& progress,
               std::string& buffer) {
  const std::uint64_t size = static_cast<std::uint64_t>(s.st.st_size);
  static const std::string zeros(kChunk, '\0');
  std::uint64_t at = 0;
  std::size_t next = 0;
  while (at < size) {
    bool hole = false;
    std::uint64_t runEnd = size;
    if (!regions.empty()) {
      while (next < regions.size() &&
             static_cast<std::uint64_t>(regions[next].first + regions[next].second) <= at)
        ++next;
      if (next == regions.size()) {
        hole = true;
      } else if (static_cast<std::uint64_t>(regions[next].first) > at) {
        hole = true;
        runEnd = static_cast<std::uint64_t>(regions[next].first);
      } else {
        runEnd = static_cast<std::uint64_t>(regions[next].first + regions[next].second);
      }
    }
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, runEnd - at));
    const char* data = zeros.data();
    std::size_t got = want;
    if (!hole) {
      ssize_t n = ::pread(fd, buffer.data(), want, static_cast<off_t>(at));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0)
        throw arc::Failure(arc::kCannotRead,
                           arc::msg::CannotRead(arc::msg::Quoted(arc::SafeText(s.path)),
                                                n < 0 ? std::string(std::strerror(errno))
                                                      : "格納中に短くなりました"));
      data = buffer.data();
      got = static_cast<std::size_t>(n);
    }
    if (archive_write_data(w.a, data, got) < 0)
      w.Fail(arc::kCannotWrite, arc::msg::CannotWrite("書庫"));
    at += got;
    if (!progress.AddBytes(got)) throw arc::Failure(arc::kCancelled, arc::msg::Cancelled());
  }
}

void SetName(archive_entry* e, const std::string& name) {
  // Names are UTF-8 here; the command runs in a UTF-8 locale, so pax headers
  // carry them as UTF-8.
  archive_entry_copy_pathname(e, name.c_str());
}

}  // namespace

std::int32_t RunCreate(const TarOptions& o, arc::Report& report, arc::Progress& progress) {
  if (o.files.empty()) throw arc::Failure(arc::kBadCommand, arc::msg::NoFileNames());
  std::unique_ptr<arc::ReplacementFile> out;
  try {
    out = std::make_unique<arc::ReplacementFile>(o.archive);
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  std::vector<struct stat> skip(1);
  ::fstat(out->fd(), &skip[0]);
  struct stat existing {};
  if (::stat(o.archive.c_str(), &existing) == 0) skip.push_back(existing);
  const std::vector<Source> sources = GatherSources(o, skip, report);
  if (sources.empty()) {
    report.Line(arc::msg::NoFileMatched());
    return arc::kNothingMatched;
  }
  std::uint64_t total = 0;
  for (const auto& s : sources)
    if (S_ISREG(s.st.st_mode)) total += static_cast<std::uint64_t>(s.st.st_size);
  progress.SetTotals(sources.size(), total);

  const tararc::Compression compression =
      o.compression ? *o.compression : CompressionForName(o.archive);
  const bool gzip = compression == tararc::Compression::gzip;
  const bool bzip2 = compression == tararc::Compression::bzip2;
  // Declared before the writer: freeing it after a failure may still write.
  std::optional<ParallelGzip> gzipOut;
  if (gzip) gzipOut.emplace(out->fd(), o.level > 0 ? o.level : 6, 0);
  std::optional<ParallelBzip2> bzip2Out;
  if (bzip2) bzip2Out.emplace(out->fd(), o.level > 0 ? o.level : 9, 0);
  const bool ownCompressor =
      compression == tararc::Compression::xz || compression == tararc::Compression::zstd;
  std::unique_ptr<StreamCompressor> compressor;
  if (ownCompressor) {
    try {
      compressor = std::make_unique<StreamCompressor>(out->fd(), compression, o.level);
    } catch (const std::runtime_error& e) {
      throw arc::Failure(arc::kNoMemory, e.what());
    }
  }
  WriteTarget target{out->fd(), compressor.get(), gzipOut ? &*gzipOut : nullptr,
                     bzip2Out ? &*bzip2Out : nullptr};
  ArchiveWriter w;
  if (w.a == nullptr) throw std::bad_alloc();
  archive_write_set_format_pax_restricted(w.a);
  switch (compression) {
    case tararc::Compression::gzip:  // on every core, below
    case tararc::Compression::bzip2:
      break;
    case tararc::Compression::compress:
      archive_write_add_filter_compress(w.a);
      break;
    case tararc::Compression::xz:
    case tararc::Compression::zstd:
    case tararc::Compression::none:
      break;
  }
  // A compressed stream ends where it ends: no zero padding after it, which
  // gzip -t and bzip2 -t would call trailing garbage. A plain tar keeps the
  // usual 10240-byte records.
  if (compression != tararc::Compression::none && !ownCompressor)
    archive_write_set_bytes_in_last_block(w.a, 1);
  if (archive_write_open(w.a, &target, nullptr, &WriteTarget::Write, nullptr) != ARCHIVE_OK)
    w.Fail(arc::kCannotWrite, "書庫の書き込みを始められません");

  std::map<std::pair<dev_t, ino_t>, std::string> hardLinks;
  std::string buffer(kChunk, '\0');
  std::int32_t result = arc::kOk;
  for (const auto& s : sources) {
    if (!progress.StartFile(s.stored)) throw arc::Failure(arc::kCancelled, arc::msg::Cancelled());
    Entry entry;
    archive_entry* e = entry.e;
    SetName(e, s.stored);
    archive_entry_set_mode(e, s.st.st_mode & ~static_cast<mode_t>(S_ISUID | S_ISGID | S_ISVTX));
    archive_entry_set_uid(e, s.st.st_uid);
    archive_entry_set_gid(e, s.st.st_gid);
    archive_entry_set_mtime(e, s.st.st_mtim.tv_sec, 0);
    Fd file{-1};
    std::vector<std::pair<off_t, off_t>> regions;
    if (S_ISLNK(s.st.st_mode)) {
      std::string target(4096, '\0');
      ssize_t n = ::readlink(s.path.c_str(), target.data(), target.size());
      if (n < 0)
        throw arc::Failure(
            arc::kCannotRead,
            arc::msg::CannotRead("リンク " + arc::msg::Quoted(arc::SafeText(s.path))));
      target.resize(static_cast<std::size_t>(n));
      archive_entry_copy_symlink(e, target.c_str());
      archive_entry_set_size(e, 0);
    } else if (S_ISDIR(s.st.st_mode)) {
      archive_entry_set_size(e, 0);
    } else {
      auto key = std::make_pair(s.st.st_dev, s.st.st_ino);
      if (s.st.st_nlink > 1) {
        auto it = hardLinks.find(key);
        if (it != hardLinks.end()) {
          archive_entry_copy_hardlink(e, it->second.c_str());
          archive_entry_set_size(e, 0);
          if (archive_write_header(w.a, e) < ARCHIVE_OK)
            w.Fail(arc::kCannotWrite,
                   arc::msg::CannotWrite(arc::msg::Quoted(arc::SafeText(s.stored))));
          report.Line(arc::msg::Line(arc::msg::Verdict::packed, arc::SafeText(s.stored)) +
                      " (リンク)");
          continue;
        }
        hardLinks.emplace(key, s.stored);
      }
      file.fd = ::open(s.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
      if (file.fd < 0)
        throw arc::Failure(
            arc::kCannotRead,
            arc::msg::CannotRead(arc::msg::Quoted(arc::SafeText(s.path)), std::strerror(errno)));
      archive_entry_set_size(e, s.st.st_size);
      if (static_cast<std::uint64_t>(s.st.st_blocks) * 512 <
          static_cast<std::uint64_t>(s.st.st_size)) {
        regions = DataRegions(file.fd, s.st.st_size);
        for (const auto& [at, length] : regions) archive_entry_sparse_add_entry(e, at, length);
        if (regions.empty() && s.st.st_size > 0) archive_entry_sparse_add_entry(e, s.st.st_size, 0);
      }
    }
    if (archive_write_header(w.a, e) < ARCHIVE_OK)
      w.Fail(arc::kCannotWrite, arc::msg::CannotWrite(arc::msg::Quoted(arc::SafeText(s.stored))));
    if (file.fd >= 0) WriteData(w, file.fd, s, regions, progress, buffer);
    if (archive_write_finish_entry(w.a) < ARCHIVE_OK)
      w.Fail(arc::kCannotWrite, arc::msg::CannotWrite(arc::msg::Quoted(arc::SafeText(s.stored))));
    if (!progress.FinishFile()) throw arc::Failure(arc::kCancelled, arc::msg::Cancelled());
    report.Line(arc::msg::Line(arc::msg::Verdict::packed, arc::SafeText(s.stored)));
  }
  if (archive_write_close(w.a) != ARCHIVE_OK)
    w.Fail(arc::kCannotWrite, "書庫の書き込みを終えられません");
  if (gzipOut && !gzipOut->Finish())
    throw arc::Failure(
        arc::kCannotWrite,
        arc::msg::CannotWrite(arc::msg::Quoted(arc::SafeText(o.archive)),
                              std::strerror(gzipOut->Error() != 0 ? gzipOut->Error() : EIO)));
  if (bzip2Out && !bzip2Out->Finish())
    throw arc::Failure(
        arc::kCannotWrite,
        arc::msg::CannotWrite(arc::msg::Quoted(arc::SafeText(o.archive)),
                              std::strerror(bzip2Out->Error() != 0 ? bzip2Out->Error() : EIO)));
  if (compressor && !compressor->Finish())
    throw arc::Failure(arc::kCannotWrite, "書庫を書き終えられません: " + compressor->why());
  try {
    out->Commit();
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  report.Line(arc::msg::PackSummary(sources.size(), arc::SafeText(o.archive)));
  return result;
}

}  // namespace tar32
