#include "MemberPacker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "CommandFailure.h"
#include "common/ArchiverApi.h"
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

// Wraps a source so that read failures become kCannotRead and archive
// write failures kCannotWrite, whichever stream raised them.
class TaggedSource : public lzh::Source {
 public:
  explicit TaggedSource(lzh::Source& in) : in_(in) {}
  std::size_t read(std::uint8_t* buf, std::size_t n) override {
    try {
      return in_.read(buf, n);
    } catch (const std::exception& e) {
      throw CommandFailure(arc::kCannotRead, e.what());
    }
  }

 private:
  lzh::Source& in_;
};

class TaggedSink : public lzh::Sink {
 public:
  explicit TaggedSink(lzh::Sink& out) : out_(out) {}
  void write(const std::uint8_t* buf, std::size_t n) override {
    try {
      out_.write(buf, n);
    } catch (const std::exception& e) {
      throw CommandFailure(arc::kCannotWrite, e.what());
    }
  }

 private:
  lzh::Sink& out_;
};

off_t Position(int fd, const std::string& name) {
  off_t at = ::lseek(fd, 0, SEEK_CUR);
  if (at < 0)
    throw CommandFailure(arc::kCannotWrite, "cannot seek in " + name + ": " + std::strerror(errno));
  return at;
}

}  // namespace

PackedFile PackFile(int outFd, const std::string& outName, const SourceFile& file,
                    const std::string& method, int effort, bool cp932Names) {
  SourceFd src(::open(file.diskPath.c_str(), O_RDONLY | O_CLOEXEC));
  if (src.get() < 0)
    throw CommandFailure(arc::kCannotRead,
                         "cannot open " + file.diskPath + ": " + std::strerror(errno));
  struct stat st {};
  if (::fstat(src.get(), &st) != 0 || !S_ISREG(st.st_mode))
    throw CommandFailure(arc::kCannotRead, "not a readable file: " + file.diskPath);

  lzh::NewEntryHeader h;
  try {
    lzh::StoredName stored = lzh::EncodeStoredName(file.parts, cp932Names);
    h.fileName = stored.fileName;
    h.dirName = stored.dirName;
  } catch (const std::exception& e) {
    throw CommandFailure(arc::kCannotWrite, e.what());
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
    throw CommandFailure(arc::kCannotWrite, std::string(e.what()) + ": " + file.diskPath);
  }
  const off_t headerAt = Position(outFd, outName);
  const off_t dataAt = headerAt + static_cast<off_t>(header.size());
  lzh::FileSource rawIn(src.get(), file.diskPath);
  TaggedSource in(rawIn);
  lzh::FileSink rawOut(outFd, outName);
  TaggedSink out(rawOut);
  out.write(header.data(), header.size());

  std::uint64_t original = 0, packed = 0;
  std::uint16_t crc = 0;
  bool stored = wanted == "-lh0-";
  if (!stored) {
    lzh::EncodeResult r = lzh::encode(wanted, in, out, effort, h.originalSize);
    if (r.limitReached || r.packedSize >= r.originalSize) {
      stored = true;
      if (::ftruncate(outFd, dataAt) != 0 || ::lseek(outFd, dataAt, SEEK_SET) != dataAt ||
          ::lseek(src.get(), 0, SEEK_SET) != 0)
        throw CommandFailure(arc::kCannotWrite,
                             "cannot rewind " + outName + ": " + std::strerror(errno));
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
    throw CommandFailure(arc::kCannotRead, file.diskPath + " changed its size while it was read");
  h.originalSize = original;
  h.packedSize = packed;
  h.dataCrc = crc;
  std::vector<std::uint8_t> final = lzh::BuildLevel2Header(h);
  if (final.size() != header.size())
    throw CommandFailure(arc::kCannotWrite, "header length changed: " + file.diskPath);
  if (::pwrite(outFd, final.data(), final.size(), headerAt) != static_cast<ssize_t>(final.size()))
    throw CommandFailure(arc::kCannotWrite,
                         "cannot write " + outName + ": " + std::strerror(errno));
  return {h.method, original, packed};
}

}  // namespace unlha
