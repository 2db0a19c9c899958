#include "ArchiveReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "FileStreams.h"
#include "HeaderParser.h"
#include "SfxTrailer.h"
#include "common/Messages.h"

namespace lzh {
namespace {

// Keeps the first bytes of a member's data, then stops the decoder.
class HeadSink : public Sink {
 public:
  struct Full {};
  void write(const std::uint8_t* buf, std::size_t n) override {
    const std::size_t take = std::min(n, sizeof bytes - length);
    std::copy_n(buf, take, bytes + length);
    length += take;
    if (length == sizeof bytes) throw Full{};
  }
  std::uint8_t bytes[kMacBinaryHeaderLength] = {};
  std::size_t length = 0;
};

// Passes on only the bytes of one range of the data.
class RangeSink : public Sink {
 public:
  RangeSink(Sink& out, DataFork range) : out_(out), range_(range) {}
  void write(const std::uint8_t* buf, std::size_t n) override {
    const std::uint64_t end = range_.offset + range_.length;
    const std::uint64_t from = std::max(pos_, range_.offset);
    const std::uint64_t to = std::min(pos_ + n, end);
    if (from < to) out_.write(buf + (from - pos_), static_cast<std::size_t>(to - from));
    pos_ += n;
  }

 private:
  Sink& out_;
  DataFork range_;
  std::uint64_t pos_ = 0;
};

// The data fork of a member written on classic Mac OS as MacBinary, found
// by decoding the member's first 128 bytes.
std::optional<DataFork> FindMacDataFork(int fd, const std::string& name, const ArchiveMember& m) {
  const EntryHeader& h = m.header;
  if (h.osId != 'm' || h.isDirectory() || h.originalSize < kMacBinaryHeaderLength ||
      !canDecode(h.method))
    return std::nullopt;
  HeadSink head;
  FileRangeSource in(fd, m.dataOffset, h.packedSize, name);
  try {
    decode(h.method, in, h.packedSize, head, h.originalSize);
  } catch (const HeadSink::Full&) {
  }
  if (head.length < kMacBinaryHeaderLength) return std::nullopt;
  return ReadMacBinaryHeader(head.bytes, h.originalSize);
}

}  // namespace

ArchiveIndex ReadArchiveIndex(int fd, const std::string& name, std::uint64_t start,
                              std::uint64_t limit) {
  ArchiveIndex index;
  index.start = start;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    index.message = arc::msg::Quoted(name) + " は通常のファイルではありません";
    return index;
  }
  const std::uint64_t fileEnd = limit ? std::min<std::uint64_t>(limit, st.st_size) : st.st_size;
  if (fileEnd <= start) {
    index.message = arc::msg::Quoted(name) + " は空です";
    return index;
  }
  std::uint64_t pos = start;
  std::vector<std::uint8_t> buf;
  try {
    for (;;) {
      std::size_t want = 256;
      EntryHeader h;
      ParseResult r;
      for (;;) {
        const std::size_t avail =
            static_cast<std::size_t>(std::min<std::uint64_t>(want, fileEnd - pos));
        buf.resize(avail);
        if (avail) ReadAt(fd, buf.data(), avail, pos, name);
        r = ParseHeader(buf.data(), avail, h);
        if (r.status != ParseStatus::needMore) break;
        if (r.needed <= avail || pos + r.needed > fileEnd) {
          r = {ParseStatus::damaged, 0, "ヘッダーが途中で切れています"};
          break;
        }
        // Grow at least twofold: a header of many small extended headers
        // asks for a few bytes more each time, and each call parses anew.
        want = std::max(r.needed, 2 * avail);
      }
      if (r.status == ParseStatus::endOfArchive) {
        if (index.members.empty() && fileEnd - start > 1) {
          index.message = arc::msg::NotArchive(name, "LZH");
          return index;
        }
        index.end = pos;
        index.ok = true;
        return index;
      }
      if (r.status == ParseStatus::damaged) {
        index.message = arc::msg::DamagedHeaderAt(name, pos, r.message);
        if (index.members.empty() && pos == start)
          index.message = arc::msg::NotArchive(name, "LZH", r.message);
        return index;
      }
      ArchiveMember m;
      m.header = std::move(h);
      m.headerOffset = pos;
      m.dataOffset = pos + m.header.headerLength;
      if (m.header.packedSize > fileEnd - m.dataOffset) {
        index.message = arc::msg::Quoted(name) + ": オフセット " + std::to_string(pos) +
                        " のファイルのデータが途中で切れています";
        return index;
      }
      m.path = DecodeEntryPath(m.header);
      m.macDataFork = FindMacDataFork(fd, name, m);
      pos = m.endOffset();
      index.members.push_back(std::move(m));
    }
  } catch (const std::exception& e) {
    index.message = e.what();
    return index;
  }
}

MemberResult DecodeMember(int fd, const std::string& archiveName, const ArchiveMember& m,
                          Sink& out) {
  const auto& h = m.header;
  if (h.isDirectory()) return {};
  if (!canDecode(h.method)) return {Status::kFailed, arc::msg::UnsupportedMethod(h.method)};
  FileRangeSource in(fd, m.dataOffset, h.packedSize, archiveName);
  DecodeResult r;
  if (m.macDataFork) {
    RangeSink fork(out, *m.macDataFork);
    r = decode(h.method, in, h.packedSize, fork, h.originalSize);
  } else {
    r = decode(h.method, in, h.packedSize, out, h.originalSize);
  }
  if (r.status != Status::kOk && r.status != Status::kWarning)
    return {r.status, r.message.empty() ? "データが壊れています" : r.message};
  if (r.written != h.originalSize) return {Status::kFailed, arc::msg::WrongLength()};
  if (h.hasDataCrc && r.crc != h.dataCrc) return {Status::kFailed, arc::msg::CrcMismatch()};
  return {r.status, r.message};
}

ArchiveIndex ReadArchiveOrSfxIndex(int fd, const std::string& name) {
  ArchiveIndex plain = ReadArchiveIndex(fd, name);
  if (plain.ok) return plain;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_size < static_cast<off_t>(kSfxTrailerSize)) return plain;
  const std::uint64_t end = static_cast<std::uint64_t>(st.st_size) - kSfxTrailerSize;
  std::uint8_t trailer[kSfxTrailerSize];
  try {
    ReadAt(fd, trailer, sizeof trailer, end, name);
  } catch (const std::exception&) {
    return plain;
  }
  const auto start = ReadSfxTrailer(trailer);
  if (!start || *start >= end) return plain;
  ArchiveIndex attached = ReadArchiveIndex(fd, name, *start, end);
  return attached.ok ? attached : plain;
}

}  // namespace lzh
