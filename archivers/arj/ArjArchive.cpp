#include "ArjArchive.h"
#include "common/Messages.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <vector>

namespace arj {
namespace {

constexpr std::size_t kSfxSearch = 1 << 20;
constexpr std::size_t kMaxHeaderBytes = 4 + kMaxBasicHeader + 4 + (1 << 20) + 4096;

// Reads up to n bytes at offset; returns how many (short at the end of the file).
std::size_t ReadSome(int fd, std::uint8_t* buf, std::size_t n, std::uint64_t offset) {
  std::size_t got = 0;
  while (got < n) {
    ssize_t r = ::pread(fd, buf + got, n - got, static_cast<off_t>(offset + got));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) throw std::runtime_error(std::strerror(errno));
    if (r == 0) break;
    got += static_cast<std::size_t>(r);
  }
  return got;
}

// Parses the header at offset, reading more as the parser asks.
HeaderParse HeaderAt(int fd, std::uint64_t offset, Header& h) {
  std::vector<std::uint8_t> buf(4 + kMaxBasicHeader + 4 + 2);
  std::size_t have = ReadSome(fd, buf.data(), buf.size(), offset);
  for (;;) {
    HeaderParse r = ParseHeader(buf.data(), have, h);
    if (r.status != HeaderStatus::needMore) return r;
    if (have < buf.size() || r.needed > kMaxHeaderBytes)
      return {HeaderStatus::bad, 0, "書庫がヘッダーの途中で終わっています"};
    buf.resize(std::max(r.needed, buf.size() * 2));
    have += ReadSome(fd, buf.data() + have, buf.size() - have, offset + have);
  }
}

bool IsMainHeader(int fd, std::uint64_t offset, Header& h) {
  return HeaderAt(fd, offset, h).status == HeaderStatus::ok && h.type == FileType::comment;
}

// Where the main header starts: 0, or inside a self-extracting program.
bool FindMain(int fd, Index& index) {
  if (IsMainHeader(fd, 0, index.main)) return true;
  std::vector<std::uint8_t> head(kSfxSearch);
  const std::size_t n = ReadSome(fd, head.data(), head.size(), 0);
  if (n < 2 || head[0] != 'M' || head[1] != 'Z') return false;
  for (std::size_t i = 1; i + 1 < n; ++i) {
    if (head[i] != kIdLow || head[i + 1] != kIdHigh) continue;
    if (IsMainHeader(fd, i, index.main)) {
      index.start = i;
      return true;
    }
  }
  return false;
}

Index Fail(std::string message) {
  Index index;
  index.message = std::move(message);
  return index;
}

}  // namespace

std::int64_t Member::Mtime() const {
  if (header.hostOs == kHostUnix) return header.stamp;
  const std::uint32_t s = header.stamp;
  std::tm tm{};
  tm.tm_year = static_cast<int>(80 + (s >> 25));
  tm.tm_mon = static_cast<int>((s >> 21) & 15) - 1;
  tm.tm_mday = static_cast<int>((s >> 16) & 31);
  tm.tm_hour = static_cast<int>((s >> 11) & 31);
  tm.tm_min = static_cast<int>((s >> 5) & 63);
  tm.tm_sec = static_cast<int>((s & 31) * 2);
  tm.tm_isdst = -1;
  const std::time_t t = std::mktime(&tm);
  return t == static_cast<std::time_t>(-1) ? 0 : static_cast<std::int64_t>(t);
}

void Member::DosStamp(std::uint16_t& date, std::uint16_t& time) const {
  if (header.hostOs != kHostUnix) {
    date = static_cast<std::uint16_t>(header.stamp >> 16);
    time = static_cast<std::uint16_t>(header.stamp & 0xFFFF);
    return;
  }
  const std::time_t t = static_cast<std::time_t>(header.stamp);
  std::tm tm{};
  if (::localtime_r(&t, &tm) == nullptr || tm.tm_year < 80 || tm.tm_year > 207) {
    date = time = 0;
    return;
  }
  date = static_cast<std::uint16_t>((tm.tm_year - 80) << 9 | (tm.tm_mon + 1) << 5 | tm.tm_mday);
  time = static_cast<std::uint16_t>(tm.tm_hour << 11 | tm.tm_min << 5 | tm.tm_sec / 2);
}

Index ReadIndex(int fd, const std::string& name) {
  try {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
      return Fail(arc::msg::CannotRead(arc::msg::Quoted(name), std::strerror(errno)));
    const std::uint64_t fileSize = static_cast<std::uint64_t>(st.st_size);
    Index index;
    if (!FindMain(fd, index)) return Fail(arc::msg::NotArchive(name, "ARJ"));
    index.multiVolume = (index.main.flags & kVolume) != 0;
    std::uint64_t pos = index.start + index.main.length;
    for (;;) {
      Header h;
      HeaderParse r = HeaderAt(fd, pos, h);
      if (r.status == HeaderStatus::end) break;
      if (r.status != HeaderStatus::ok)
        return Fail(arc::msg::DamagedHeaderAt(name, pos, r.message));
      Member m;
      m.headerOffset = pos;
      m.dataOffset = pos + h.length;
      if (m.dataOffset + h.packedSize > fileSize)
        return Fail(arc::msg::Quoted(name) + ": 書庫が " + lzh::PrintableName(h.name) +
                    " のデータの途中で終わっています");
      m.path = lzh::DecodeStoredPath(h.name);
      m.header = std::move(h);
      pos = m.dataOffset + m.header.packedSize;
      index.members.push_back(std::move(m));
    }
    index.ok = true;
    return index;
  } catch (const std::exception& e) {
    return Fail(arc::msg::CannotRead(arc::msg::Quoted(name), e.what()));
  }
}

}  // namespace arj
