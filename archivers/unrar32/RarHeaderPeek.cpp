#include "RarHeaderPeek.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>

namespace unrar {
namespace {

const std::array<std::uint32_t, 256>& CrcTable() {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  return table;
}

class Cursor {
 public:
  Cursor(std::string_view bytes, std::size_t pos) : b_(bytes), pos_(pos) {}
  bool Fixed(std::size_t n, std::uint64_t& out) {
    if (pos_ > b_.size() || b_.size() - pos_ < n) return false;
    out = 0;
    for (std::size_t i = 0; i < n; ++i)
      out |= static_cast<std::uint64_t>(static_cast<unsigned char>(b_[pos_ + i])) << (8 * i);
    pos_ += n;
    return true;
  }
  // RAR 5 variable-length integer: 7 bits a byte, high bit set on all but the last.
  bool Vint(std::uint64_t& out) {
    out = 0;
    for (int shift = 0; shift < 70; shift += 7) {
      if (pos_ >= b_.size()) return false;
      const auto byte = static_cast<unsigned char>(b_[pos_++]);
      if (shift < 64) out |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
      if ((byte & 0x80) == 0) return true;
    }
    return false;
  }
  bool Skip(std::uint64_t n) {
    if (n > b_.size() - pos_) return false;
    pos_ += static_cast<std::size_t>(n);
    return true;
  }
  std::size_t Pos() const { return pos_; }

 private:
  std::string_view b_;
  std::size_t pos_;
};

std::optional<RarHeaderFacts> PeekRar4(std::string_view b) {
  Cursor c(b, 0);
  std::uint64_t headCrc, type, flags, size, packed, unpacked, host, crc, time, ver, method;
  if (!c.Fixed(2, headCrc) || !c.Fixed(1, type) || !c.Fixed(2, flags) || !c.Fixed(2, size))
    return std::nullopt;
  if (type != 0x74 || size < 32 || size > b.size()) return std::nullopt;
  if ((Crc32(b.substr(2, size - 2)) & 0xFFFF) != headCrc) return std::nullopt;
  if (!c.Fixed(4, packed) || !c.Fixed(4, unpacked) || !c.Fixed(1, host) || !c.Fixed(4, crc) ||
      !c.Fixed(4, time) || !c.Fixed(1, ver) || !c.Fixed(1, method))
    return std::nullopt;
  std::uint64_t nameSize, attr;
  if (!c.Fixed(2, nameSize) || !c.Fixed(4, attr)) return std::nullopt;
  if (flags & 0x100) {
    std::uint64_t highPacked, highUnpacked;
    if (!c.Fixed(4, highPacked) || !c.Fixed(4, highUnpacked)) return std::nullopt;
    packed |= highPacked << 32;
  }
  RarHeaderFacts f;
  const std::size_t nameAt = c.Pos();
  if (nameAt > size || nameSize > size - nameAt) return std::nullopt;
  f.name = std::string(b.substr(nameAt, nameSize));
  f.name = f.name.substr(0, f.name.find('\0'));  // a Unicode form may follow the NUL
  for (auto& ch : f.name)
    if (ch == '\\') ch = '/';
  f.crc = static_cast<std::uint32_t>(crc);
  f.packedSize = packed;
  f.unpackedSize = unpacked;
  f.hostOs = static_cast<std::uint8_t>(host);
  f.method = method >= 0x30 && method <= 0x35 ? static_cast<int>(method - 0x30) : 0;
  f.unpackVersion = static_cast<int>(ver);
  if (host <= 2) f.dosAttributes = static_cast<std::uint32_t>(attr);
  if (((flags >> 5) & 7) != 7) f.dictionaryBytes = std::uint64_t{64 * 1024} << ((flags >> 5) & 7);
  f.encrypted = flags & 0x04;
  f.solid = flags & 0x10;
  f.continuesBefore = flags & 0x01;
  f.continuesAfter = flags & 0x02;
  return f;
}

std::optional<RarHeaderFacts> PeekRar5(std::string_view b) {
  Cursor c(b, 0);
  std::uint64_t headCrc, size;
  if (!c.Fixed(4, headCrc) || !c.Vint(size)) return std::nullopt;
  const std::size_t start = c.Pos();
  if (size == 0 || size > (1u << 21) || size > b.size() - start) return std::nullopt;
  if (Crc32(b.substr(4, start - 4 + size)) != headCrc) return std::nullopt;
  Cursor h(b.substr(0, start + size), start);
  std::uint64_t type, flags, extraSize = 0, dataSize = 0;
  if (!h.Vint(type) || !h.Vint(flags) || type != 2) return std::nullopt;
  if ((flags & 0x01) && !h.Vint(extraSize)) return std::nullopt;
  if ((flags & 0x02) && !h.Vint(dataSize)) return std::nullopt;
  std::uint64_t fileFlags, unpacked, attr, value, info, host, nameLength;
  if (!h.Vint(fileFlags) || !h.Vint(unpacked) || !h.Vint(attr)) return std::nullopt;
  if ((fileFlags & 0x02) && !h.Fixed(4, value)) return std::nullopt;
  RarHeaderFacts f;
  f.rar5 = true;
  if (fileFlags & 0x04) {
    if (!h.Fixed(4, value)) return std::nullopt;
    f.crc = static_cast<std::uint32_t>(value);
  }
  if (!h.Vint(info) || !h.Vint(host) || !h.Vint(nameLength)) return std::nullopt;
  const std::size_t nameAt = h.Pos();
  if (!h.Skip(nameLength)) return std::nullopt;
  f.name = std::string(b.substr(nameAt, nameLength));
  f.packedSize = dataSize;
  f.unpackedSize = unpacked;
  // RAR 5 numbers hosts 0 Windows, 1 Unix; kept in the RAR 1.5-4 numbering.
  f.hostOs = host == 0 ? 2 : host == 1 ? 3 : static_cast<std::uint8_t>(host);
  f.method = static_cast<int>((info >> 7) & 7);
  f.unpackVersion = 50;
  if (host == 0) f.dosAttributes = static_cast<std::uint32_t>(attr);
  f.solid = info & 0x40;
  f.continuesBefore = flags & 0x08;
  f.continuesAfter = flags & 0x10;
  // Extra records: size, type, data; type 1 is the encryption record.
  while (extraSize > 0 && h.Pos() < start + size) {
    std::uint64_t recordSize, recordType;
    const std::size_t recordStart = h.Pos();
    if (!h.Vint(recordSize)) break;
    const std::size_t afterSize = h.Pos();
    if (!h.Vint(recordType)) break;
    if (recordType == 1) f.encrypted = true;
    if (recordSize < h.Pos() - afterSize || !h.Skip(recordSize - (h.Pos() - afterSize))) break;
    if (h.Pos() - recordStart >= extraSize) break;
    extraSize -= h.Pos() - recordStart;
  }
  return f;
}

// Reads up to n bytes at offset; fewer at the end of the file.
std::string ReadAt(int fd, std::uint64_t offset, std::size_t n) {
  std::string bytes(n, '\0');
  const ssize_t got = ::pread(fd, bytes.data(), n, static_cast<off_t>(offset));
  bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return bytes;
}

constexpr char kSignature4[] = "Rar!\x1a\x07\x00";
constexpr char kSignature5[] = "Rar!\x1a\x07\x01\x00";
constexpr std::size_t kSearch = 1 << 20;  // a self-extracting stub before the archive
constexpr std::size_t kHeaderBytes = 64 * 1024 + 64;
constexpr std::size_t kMaxHeaders = 1 << 20;

// The file headers of one volume, in order.
void WalkVolume(int fd, std::vector<RarHeaderFacts>& out) {
  struct stat st {};
  const std::uint64_t fileSize = ::fstat(fd, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
  const std::string head = ReadAt(fd, 0, kSearch);
  const std::size_t at5 = head.find(std::string_view(kSignature5, 8));
  const std::size_t at4 = head.find(std::string_view(kSignature4, 7));
  const bool rar5 = at5 != std::string::npos && (at4 == std::string::npos || at5 <= at4);
  if (!rar5 && at4 == std::string::npos) return;
  std::uint64_t pos = rar5 ? at5 + 8 : at4 + 7;
  for (std::size_t count = 0; count < kMaxHeaders; ++count) {
    const std::string bytes = ReadAt(fd, pos, kHeaderBytes);
    std::uint64_t next = 0;
    if (rar5) {
      Cursor c(bytes, 0);
      std::uint64_t crc, size, type, flags, extra = 0, data = 0;
      if (!c.Fixed(4, crc) || !c.Vint(size)) return;
      const std::size_t sizeEnd = c.Pos();
      if (!c.Vint(type) || !c.Vint(flags)) return;
      if ((flags & 0x01) && !c.Vint(extra)) return;
      if ((flags & 0x02) && !c.Vint(data)) return;
      if (type == 4 || type == 5 || size == 0) return;  // encrypted headers follow, or the end
      if (type == 2) {
        auto f = PeekRar5(bytes);
        if (!f) return;
        f->dataComplete = pos + sizeEnd + size + data <= fileSize;
        out.push_back(*f);
      }
      next = pos + sizeEnd + size + data;
    } else {
      Cursor c(bytes, 0);
      std::uint64_t crc, type, flags, size, add = 0;
      if (!c.Fixed(2, crc) || !c.Fixed(1, type) || !c.Fixed(2, flags) || !c.Fixed(2, size)) return;
      if (size < 7 || type == 0x7B) return;  // the end block
      if ((flags & 0x8000) && !c.Fixed(4, add)) return;
      if (type == 0x74) {
        auto f = PeekRar4(bytes);
        if (!f) return;
        add = f->packedSize;
        f->dataComplete = pos + size + add <= fileSize;
        out.push_back(*f);
      }
      next = pos + size + add;
    }
    if (next <= pos) return;
    pos = next;
  }
}

}  // namespace

std::vector<RarHeaderFacts> WalkFileHeaders(const std::vector<std::string>& volumes) {
  std::vector<RarHeaderFacts> members;
  for (const auto& v : volumes) {
    const int fd = ::open(v.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) break;
    std::vector<RarHeaderFacts> parts;
    WalkVolume(fd, parts);
    ::close(fd);
    for (auto& p : parts) {
      if (p.continuesBefore && !members.empty() && members.back().continuesAfter &&
          members.back().name == p.name) {
        RarHeaderFacts& m = members.back();
        m.packedSize += p.packedSize;
        m.crc = p.crc;
        m.continuesAfter = p.continuesAfter;
        m.dataComplete = m.dataComplete && p.dataComplete;
        m.split = true;
        continue;
      }
      members.push_back(std::move(p));
    }
  }
  return members;
}

void Crc32Sum::Add(std::string_view data) {
  const auto& table = CrcTable();
  std::uint32_t c = state_;
  for (unsigned char byte : data) c = table[(c ^ byte) & 0xFF] ^ (c >> 8);
  state_ = c;
}

std::uint32_t Crc32(std::string_view data) {
  Crc32Sum sum;
  sum.Add(data);
  return sum.Value();
}

std::optional<RarHeaderFacts> PeekFileHeader(std::string_view bytes) {
  if (bytes.size() >= 7 && static_cast<unsigned char>(bytes[2]) == 0x74) {
    if (auto f = PeekRar4(bytes)) return f;
  }
  return PeekRar5(bytes);
}

}  // namespace unrar
