#include "MemberPacker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "common/ArchiverApi.h"
#include "common/Failure.h"
#include "common/Messages.h"
#include "lzh/Crc16.h"
#include "lzh/LzhCodec.h"
#include "lzharc/EntryName.h"
#include "lzharc/FileStreams.h"
#include "lzharc/HeaderWriter.h"

namespace unlha {
namespace {

class SourceFd {
 public:
  explicit SourceFd(int fd) : fd_(fd) {}
  ~SourceFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  SourceFd(const SourceFd&) = delete;
  SourceFd& operator=(const SourceFd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Wraps a source so that read failures become kCannotRead, counts what it
// reads for the progress report and gives up once the run is stopped.
class WatchedSource : public lzh::Source {
 public:
  WatchedSource(lzh::Source& in, const PackSignals& signals) : in_(in), signals_(signals) {}
  std::size_t read(std::uint8_t* buf, std::size_t n) override {
    if (signals_.stop.stop_requested()) throw arc::Failure(arc::kCancelled, arc::msg::Cancelled());
    std::size_t got;
    try {
      got = in_.read(buf, n);
    } catch (const std::exception& e) {
      throw arc::Failure(arc::kCannotRead, e.what());
    }
    if (counting) signals_.bytesRead.fetch_add(got, std::memory_order_relaxed);
    return got;
  }
  bool counting = true;

 private:
  lzh::Source& in_;
  const PackSignals& signals_;
};

}  // namespace

PackedFile PackMember(const SourceFile& file, const PackSettings& settings, MemberBuffer& out,
                      const PackSignals& signals) {
  const std::string& method = settings.method;
  SourceFd src(::open(file.diskPath.c_str(), O_RDONLY | O_CLOEXEC));
  if (src.get() < 0)
    throw arc::Failure(arc::kCannotRead,
                       arc::msg::CannotOpen(arc::msg::Quoted(file.diskPath), std::strerror(errno)));
  struct stat st {};
  if (::fstat(src.get(), &st) != 0 || !S_ISREG(st.st_mode))
    throw arc::Failure(arc::kCannotRead,
                       arc::msg::Quoted(file.diskPath) + " は読み込めるファイルではありません");

  lzh::NewEntryHeader h;
  try {
    lzh::StoredName stored = lzh::EncodeStoredName(file.parts, settings.cp932Names);
    h.fileName = stored.fileName;
    h.dirName = stored.dirName;
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, e.what());
  }
  h.unixTime = st.st_mtime;
  h.unixMode = static_cast<std::uint16_t>((st.st_mode & 07777) | 0100000);
  h.originalSize = static_cast<std::uint64_t>(st.st_size);
  h.wideSizes = lzh::NeedsWideSizes(h.originalSize);
  const std::string wanted =
      (st.st_size == 0 || !lzh::canEncode(method)) ? std::string("-lh0-") : method;
  h.method = wanted;

  std::vector<std::uint8_t> header;
  try {
    header = lzh::BuildLevel2Header(h);
  } catch (const std::exception& e) {
    throw arc::Failure(arc::kCannotWrite, arc::msg::Quoted(file.diskPath) + ": " + e.what());
  }
  const std::uint64_t headerAt = out.size();
  lzh::FileSource rawIn(src.get(), file.diskPath);
  WatchedSource in(rawIn, signals);
  out.write(header.data(), header.size());

  std::uint64_t original = 0, packed = 0;
  std::uint16_t crc = 0;
  bool stored = wanted == "-lh0-";
  if (!stored) {
    lzh::EncodeResult r = lzh::encode(wanted, in, out, settings.effort, h.originalSize);
    if (r.limitReached || r.packedSize >= r.originalSize) {
      stored = true;
      out.truncate(headerAt + header.size());
      if (::lseek(src.get(), 0, SEEK_SET) != 0)
        throw arc::Failure(arc::kCannotRead, arc::msg::Quoted(file.diskPath) +
                                                 " を先頭から読み直せません" +
                                                 arc::msg::Because(std::strerror(errno)));
      in.counting = false;  // these bytes were counted on the first pass
    } else {
      original = r.originalSize;
      packed = r.packedSize;
      crc = r.crc;
    }
  }
  if (stored) {
    h.method = "-lh0-";
    std::vector<std::uint8_t> buf(1 << 16);
    for (std::size_t n; (n = in.read(buf.data(), buf.size())) > 0;) {
      out.write(buf.data(), n);
      crc = lzh::crc16(crc, buf.data(), n);
      original += n;
    }
    packed = original;
  }
  if (lzh::NeedsWideSizes(original) != h.wideSizes)
    throw arc::Failure(arc::kCannotRead,
                       arc::msg::Quoted(file.diskPath) + " のサイズが読み込み中に変わりました");
  h.originalSize = original;
  h.packedSize = packed;
  h.dataCrc = crc;
  std::vector<std::uint8_t> final = lzh::BuildLevel2Header(h);
  if (final.size() != header.size())
    throw arc::Failure(arc::kCannotWrite,
                       arc::msg::Quoted(file.diskPath) + " のヘッダーの長さが変わりました");
  out.overwrite(static_cast<std::size_t>(headerAt), final);
  return {h.method, original, packed};
}

}  // namespace unlha
