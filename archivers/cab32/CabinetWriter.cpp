#include "CabinetWriter.h"

#include <fcntl.h>
#include <libdeflate.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <new>
#include <stop_token>
#include <string>
#include <utility>

#include "CabChecksum.h"
#include "CabLimits.h"
#include "common/ArchiverApi.h"
#include "common/Failure.h"
#include "common/Messages.h"
#include "common/OrderedPool.h"
#include "common/SafeText.h"
#include "platform/TextConvert.h"

namespace cab {
namespace {

constexpr std::size_t kHeaderBytes = 36;
constexpr std::size_t kFolderRecordBytes = 8;
constexpr std::size_t kBlockHeaderBytes = 8;
// Blocks compressed or waiting to be written, per worker.
constexpr std::size_t kWindowPerWorker = 8;

constexpr std::uint16_t kAttrReadOnly = 0x01;
constexpr std::uint16_t kAttrArchive = 0x20;
constexpr std::uint16_t kAttrNameIsUtf8 = 0x80;

void Put16(std::string& s, std::uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}

void Put32(std::string& s, std::uint32_t v) {
  Put16(s, static_cast<std::uint16_t>(v & 0xFFFF));
  Put16(s, static_cast<std::uint16_t>(v >> 16));
}

bool IsAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

std::uint16_t Attributes(const SourceFile& f) {
  std::uint16_t a = kAttrArchive;
  if ((f.mode & S_IWUSR) == 0) a |= kAttrReadOnly;
  if (!IsAscii(f.storedName) && platform::IsValidUtf8(f.storedName)) a |= kAttrNameIsUtf8;
  return a;
}

// The modification time as a local DOS date and time, which hold 1980-2107
// only: other times are clamped.
std::pair<std::uint16_t, std::uint16_t> DosStamp(std::int64_t mtime) {
  std::tm t{};
  const std::time_t when = static_cast<std::time_t>(mtime);
  if (::localtime_r(&when, &t) == nullptr || t.tm_year < 80) {
    t = std::tm{};
    t.tm_year = 80;
    t.tm_mon = 0;
    t.tm_mday = 1;
  } else if (t.tm_year > 207) {
    t.tm_year = 207;
    t.tm_mon = 11;
    t.tm_mday = 31;
    t.tm_hour = 23;
    t.tm_min = 59;
    t.tm_sec = 58;
  }
  const auto date =
      static_cast<std::uint16_t>((t.tm_year - 80) << 9 | (t.tm_mon + 1) << 5 | t.tm_mday);
  const auto time =
      static_cast<std::uint16_t>(t.tm_hour << 11 | t.tm_min << 5 | std::min(t.tm_sec, 59) / 2);
  return {date, time};
}

// Files [firstFile, endFile) of the cabinet, one stream of `bytes` bytes cut
// into `blocks` blocks, numbered from firstBlock among all the cabinet's.
struct Folder {
  std::size_t firstFile = 0;
  std::size_t endFile = 0;
  std::uint64_t bytes = 0;
  std::size_t firstBlock = 0;
  std::size_t blocks = 0;
};

// Files go into folders in order, a new folder when the next file would
// take the current one past folderBytes.
std::vector<Folder> PlanFolders(const std::vector<SourceFile>& files, std::uint64_t folderBytes,
                                std::vector<std::uint64_t>& offsetInFolder) {
  std::vector<Folder> folders;
  offsetInFolder.resize(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (folders.empty() || folders.back().bytes + files[i].size > folderBytes) {
      Folder next;
      next.firstFile = next.endFile = i;
      if (!folders.empty()) next.firstBlock = folders.back().firstBlock + folders.back().blocks;
      folders.push_back(next);
    }
    Folder& f = folders.back();
    offsetInFolder[i] = f.bytes;
    f.bytes += files[i].size;
    f.endFile = i + 1;
    f.blocks = static_cast<std::size_t>((f.bytes + kCabBlock - 1) / kCabBlock);
  }
  return folders;
}

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

void WriteAt(int fd, const std::string& s, std::uint64_t at) {
  for (std::size_t done = 0; done < s.size();) {
    const ssize_t n = ::pwrite(fd, s.data() + done, s.size() - done, static_cast<off_t>(at + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      throw arc::Failure(arc::kCannotWrite,
                         arc::msg::CannotWrite("キャビネット", std::strerror(n < 0 ? errno : EIO)));
    done += static_cast<std::size_t>(n);
  }
}

// Reads n bytes at offset of a file into out; a file that ends before the
// size it was gathered with cannot be packed as listed.
void ReadAt(const SourceFile& f, int fd, std::uint64_t offset, char* out, std::size_t n) {
  while (n > 0) {
    const ssize_t got = ::pread(fd, out, n, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0)
      throw arc::Failure(
          arc::kCannotRead,
          arc::msg::CannotRead(arc::msg::Quoted(arc::SafeText(f.diskPath)),
                               got < 0 ? std::strerror(errno) : "読み込み中に短くなりました"));
    out += got;
    n -= static_cast<std::size_t>(got);
    offset += static_cast<std::uint64_t>(got);
  }
}

using Compressor = std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)>;

// Compressors handed to the workers in turn, each allocated once.
class Compressors {
 public:
  explicit Compressors(int level) : level_(level) {}
  Compressor Take() {
    {
      std::lock_guard lock(mutex_);
      if (!free_.empty()) {
        Compressor c = std::move(free_.back());
        free_.pop_back();
        return c;
      }
    }
    Compressor c(libdeflate_alloc_compressor(level_), libdeflate_free_compressor);
    if (!c) throw std::bad_alloc();
    return c;
  }
  void Give(Compressor c) {
    std::lock_guard lock(mutex_);
    free_.push_back(std::move(c));
  }

 private:
  int level_;
  std::mutex mutex_;
  std::vector<Compressor> free_;
};

class Writer {
 public:
  Writer(int fd, const std::vector<SourceFile>& files, const CabinetWriterOptions& options,
         arc::Progress* progress)
      : fd_(fd),
        files_(files),
        options_(options),
        progress_(progress),
        compressors_(options.level) {
    folders_ = PlanFolders(files_, options_.folderBytes, offsetInFolder_);
    if (!folders_.empty()) blocks_ = folders_.back().firstBlock + folders_.back().blocks;
  }

  std::optional<std::uint64_t> Run() {
    std::string records = FileRecords();
    const std::uint64_t dataStart = kHeaderBytes + kFolderRecordBytes * folders_.size();
    std::uint64_t at = dataStart + records.size();
    std::vector<std::uint64_t> folderStart(folders_.size(), at);
    if (progress_) progress_->SetTotals(files_.size(), TotalBytes());
    if (!StartProgress()) return std::nullopt;
    if (blocks_ > 0) {
      std::vector<std::string> packed(blocks_);
      const int threads = arc::OrderedPool::ThreadsFor(options_.threads, blocks_);
      arc::OrderedPool pool(blocks_, threads, static_cast<std::size_t>(threads) * kWindowPerWorker,
                            [&](std::size_t i, std::stop_token) { packed[i] = PackBlock(i); });
      std::size_t folder = 0;
      for (std::size_t i = 0; i < blocks_; ++i) {
        if (!pool.Take(i)) return std::nullopt;
        while (i >= folders_[folder].firstBlock + folders_[folder].blocks) ++folder;
        if (i == folders_[folder].firstBlock) folderStart[folder] = at;
        if (at + packed[i].size() > kMaxCabinetBytes)
          throw arc::Failure(
              arc::kCannotWrite,
              "キャビネットが形式の上限 " + std::to_string(kMaxCabinetBytes) + " バイトを超えます");
        WriteAt(fd_, packed[i], at);
        at += packed[i].size();
        std::string().swap(packed[i]);
        if (!AdvanceProgress(BlockBytes(folders_[folder], i))) return std::nullopt;
      }
    }
    WriteAt(fd_, Header(at, folderStart) + records, 0);
    return at;
  }

 private:
  std::uint64_t TotalBytes() const {
    std::uint64_t total = 0;
    for (const auto& f : files_) total += f.size;
    return total;
  }

  static std::size_t BlockBytes(const Folder& folder, std::size_t block) {
    const std::uint64_t offset = (block - folder.firstBlock) * std::uint64_t{kCabBlock};
    return static_cast<std::size_t>(std::min<std::uint64_t>(kCabBlock, folder.bytes - offset));
  }

  std::string Header(std::uint64_t cabinetBytes, const std::vector<std::uint64_t>& folderStart) {
    std::string h = "MSCF";
    Put32(h, 0);
    Put32(h, static_cast<std::uint32_t>(cabinetBytes));
    Put32(h, 0);
    Put32(h, static_cast<std::uint32_t>(kHeaderBytes + kFolderRecordBytes * folders_.size()));
    Put32(h, 0);
    h += '\x03';  // format version 1.3
    h += '\x01';
    Put16(h, static_cast<std::uint16_t>(folders_.size()));
    Put16(h, static_cast<std::uint16_t>(files_.size()));
    Put16(h, 0);  // flags: no reserve, no previous or next cabinet
    Put16(h, 0);  // set id
    Put16(h, 0);  // index in the set
    for (std::size_t k = 0; k < folders_.size(); ++k) {
      Put32(h, static_cast<std::uint32_t>(folderStart[k]));
      Put16(h, static_cast<std::uint16_t>(folders_[k].blocks));
      Put16(h, options_.store ? 0 : 1);  // stored, MSZIP
    }
    return h;
  }

  std::string FileRecords() const {
    std::string r;
    for (std::size_t k = 0; k < folders_.size(); ++k) {
      for (std::size_t i = folders_[k].firstFile; i < folders_[k].endFile; ++i) {
        const SourceFile& f = files_[i];
        const auto [date, time] = DosStamp(f.mtime);
        Put32(r, static_cast<std::uint32_t>(f.size));
        Put32(r, static_cast<std::uint32_t>(offsetInFolder_[i]));
        Put16(r, static_cast<std::uint16_t>(k));
        Put16(r, date);
        Put16(r, time);
        Put16(r, Attributes(f));
        std::string stored = f.storedName;
        std::replace(stored.begin(), stored.end(), '/', '\\');
        r += stored;
        r += '\0';
      }
    }
    return r;
  }

  // The uncompressed bytes of block i, read from the files it spans.
  void ReadBlock(const Folder& folder, std::size_t i, char* out, std::size_t n) const {
    std::uint64_t pos = (i - folder.firstBlock) * std::uint64_t{kCabBlock};
    const auto first = offsetInFolder_.begin() + static_cast<std::ptrdiff_t>(folder.firstFile);
    const auto end = offsetInFolder_.begin() + static_cast<std::ptrdiff_t>(folder.endFile);
    std::size_t f =
        static_cast<std::size_t>(std::upper_bound(first, end, pos) - first) - 1 + folder.firstFile;
    while (n > 0) {
      const SourceFile& file = files_[f];
      const std::uint64_t inFile = pos - offsetInFolder_[f];
      if (inFile < file.size) {
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(n, file.size - inFile));
        Fd in{::open(file.diskPath.c_str(), O_RDONLY | O_CLOEXEC)};
        if (in.fd < 0)
          throw arc::Failure(arc::kCannotRead,
                             arc::msg::CannotRead(arc::msg::Quoted(arc::SafeText(file.diskPath)),
                                                  std::strerror(errno)));
        ReadAt(file, in.fd, inFile, out, take);
        out += take;
        n -= take;
        pos += take;
      }
      ++f;
    }
  }

  // Block i as it is written: its header, then the stored bytes or "CK"
  // and a deflate stream of its own.
  std::string PackBlock(std::size_t i) {
    const Folder& folder = *std::prev(
        std::upper_bound(folders_.begin(), folders_.end(), i,
                         [](std::size_t b, const Folder& f) { return b < f.firstBlock; }));
    const std::size_t n = BlockBytes(folder, i);
    std::string raw(n, '\0');
    ReadBlock(folder, i, raw.data(), n);
    std::string out;
    if (options_.store) {
      out.assign(kBlockHeaderBytes, '\0');
      out += raw;
    } else {
      Compressor c = compressors_.Take();
      out.assign(kBlockHeaderBytes + 2 + libdeflate_deflate_compress_bound(c.get(), n), '\0');
      out[kBlockHeaderBytes] = 'C';
      out[kBlockHeaderBytes + 1] = 'K';
      const std::size_t packed =
          libdeflate_deflate_compress(c.get(), raw.data(), n, out.data() + kBlockHeaderBytes + 2,
                                      out.size() - kBlockHeaderBytes - 2);
      compressors_.Give(std::move(c));
      if (packed == 0) throw arc::Failure(arc::kCannotWrite, "データブロックを圧縮できません");
      out.resize(kBlockHeaderBytes + 2 + packed);
    }
    const auto stored = static_cast<std::uint16_t>(out.size() - kBlockHeaderBytes);
    std::string head;
    Put32(head,
          DataBlockChecksum(out.data() + kBlockHeaderBytes, stored, static_cast<std::uint16_t>(n)));
    Put16(head, stored);
    Put16(head, static_cast<std::uint16_t>(n));
    out.replace(0, kBlockHeaderBytes, head);
    return out;
  }

  // Progress by files, told as their last bytes are written; an empty file
  // is done as soon as it is started.
  bool StartProgress() {
    if (!progress_ || files_.empty()) return true;
    if (!progress_->StartFile(files_[0].storedName)) return false;
    left_ = files_[0].size;
    return SettleEmpty();
  }

  bool SettleEmpty() {
    while (current_ < files_.size() && left_ == 0) {
      if (!progress_->FinishFile()) return false;
      if (++current_ < files_.size()) {
        if (!progress_->StartFile(files_[current_].storedName)) return false;
        left_ = files_[current_].size;
      }
    }
    return true;
  }

  bool AdvanceProgress(std::uint64_t bytes) {
    if (!progress_) return true;
    while (bytes > 0 && current_ < files_.size()) {
      const std::uint64_t take = std::min(bytes, left_);
      if (!progress_->AddBytes(take)) return false;
      left_ -= take;
      bytes -= take;
      if (!SettleEmpty()) return false;
    }
    return true;
  }

  int fd_;
  const std::vector<SourceFile>& files_;
  CabinetWriterOptions options_;
  arc::Progress* progress_;
  Compressors compressors_;
  std::vector<std::uint64_t> offsetInFolder_;
  std::vector<Folder> folders_;
  std::size_t blocks_ = 0;
  std::size_t current_ = 0;  // the file progress is telling
  std::uint64_t left_ = 0;   // its bytes not yet written
};

}  // namespace

std::optional<std::uint64_t> WriteCabinet(int fd, const std::vector<SourceFile>& files,
                                          const CabinetWriterOptions& options,
                                          arc::Progress* progress) {
  return Writer(fd, files, options, progress).Run();
}

}  // namespace cab
