#include "Rar5HeaderMend.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "RarHeaderPeek.h"
#include "common/Messages.h"

namespace unrar {
namespace {

constexpr char kSignature[] = "Rar!\x1a\x07\x01\x00";
constexpr std::size_t kMaxHeader = 2 << 20;

bool Vint(std::string_view b, std::size_t& pos, std::uint64_t& out) {
  out = 0;
  for (int shift = 0; shift < 70; shift += 7) {
    if (pos >= b.size()) return false;
    const auto byte = static_cast<unsigned char>(b[pos++]);
    if (shift < 64) out |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return true;
  }
  return false;
}

std::uint32_t Le32(std::string_view b) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = v << 8 | static_cast<unsigned char>(b[static_cast<std::size_t>(i)]);
  return v;
}

std::string VintBytes(std::uint64_t v) {
  std::string s;
  do {
    unsigned char byte = v & 0x7F;
    v >>= 7;
    if (v != 0) byte |= 0x80;
    s += static_cast<char>(byte);
  } while (v != 0);
  return s;
}

// Where the fields the reader knows end in header (type onwards), and the
// extra area's size; false when the header does not parse or is of a type
// whose fields are not known here.
bool KnownEnd(std::string_view h, std::size_t& end, std::uint64_t& extra) {
  std::size_t p = 0;
  std::uint64_t type, flags, v;
  extra = 0;
  if (!Vint(h, p, type) || !Vint(h, p, flags)) return false;
  if ((flags & 0x01) && !Vint(h, p, extra)) return false;
  if ((flags & 0x02) && !Vint(h, p, v)) return false;
  if (type == 1) {  // main: archive flags, then the volume number when flagged
    std::uint64_t archiveFlags;
    if (!Vint(h, p, archiveFlags)) return false;
    if ((archiveFlags & 0x02) && !Vint(h, p, v)) return false;
  } else if (type == 2 || type == 3) {  // file or service
    std::uint64_t fileFlags, nameLength;
    if (!Vint(h, p, fileFlags) || !Vint(h, p, v) || !Vint(h, p, v)) return false;
    if (fileFlags & 0x02) p += 4;
    if (fileFlags & 0x04) p += 4;
    if (!Vint(h, p, v) || !Vint(h, p, v) || !Vint(h, p, nameLength)) return false;
    if (nameLength > h.size() || p > h.size() - nameLength) return false;
    p += static_cast<std::size_t>(nameLength);
  } else if (type == 5) {  // end of archive
    if (!Vint(h, p, v)) return false;
  } else {
    return false;
  }
  if (p > h.size() || extra > h.size() - p) return false;
  end = p;
  return true;
}

}  // namespace

bool HasUnknownHeaderBytes(std::string_view header) {
  std::size_t end = 0;
  std::uint64_t extra = 0;
  return KnownEnd(header, end, extra) && end + extra < header.size();
}

bool NeedsHeaderMend(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  auto readAt = [fd](std::uint64_t at, std::size_t n) {
    std::string s(n, '\0');
    const ssize_t k = ::pread(fd, s.data(), n, static_cast<off_t>(at));
    s.resize(k > 0 ? static_cast<std::size_t>(k) : 0);
    return s;
  };
  bool found = false;
  std::uint64_t pos = 8;
  if (readAt(0, 8) == std::string_view(kSignature, 8)) {
    for (int count = 0; count < (1 << 20) && !found; ++count) {
      const std::string head = readAt(pos, 14);
      std::size_t p = 4;
      std::uint64_t size = 0;
      if (head.size() < 5 || !Vint(head, p, size) || size == 0 || size > kMaxHeader) break;
      const std::string header = readAt(pos + p, static_cast<std::size_t>(size));
      std::size_t q = 0;
      std::uint64_t type = 0, flags = 0, extra = 0, data = 0;
      if (header.size() < size || !Vint(header, q, type) || !Vint(header, q, flags) ||
          ((flags & 0x01) && !Vint(header, q, extra)) || ((flags & 0x02) && !Vint(header, q, data)))
        break;
      found = HasUnknownHeaderBytes(header);
      if (type == 5 || type == 4) break;
      pos += p + size + data;
    }
  }
  ::close(fd);
  return found;
}

Rar5HeaderMend::Rar5HeaderMend(const std::string& path) : buffer_(1 << 16, '\0') {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0)
    throw std::runtime_error(arc::msg::CannotOpen(arc::msg::Quoted(path), std::strerror(errno)));
}

Rar5HeaderMend::~Rar5HeaderMend() {
  if (fd_ >= 0) ::close(fd_);
}

std::string Rar5HeaderMend::PullExact(std::size_t n) {
  std::string s(n, '\0');
  std::size_t got = 0;
  while (got < n) {
    const ssize_t k = ::pread(fd_, s.data() + got, n - got, static_cast<off_t>(pos_));
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) break;
    got += static_cast<std::size_t>(k);
    pos_ += static_cast<std::uint64_t>(k);
  }
  s.resize(got);
  return s;
}

std::string_view Rar5HeaderMend::Read() {
  for (;;) {
    if (!pending_.empty()) {
      out_ = std::move(pending_);
      pending_.clear();
      return out_;
    }
    if (passAll_ || copyLeft_ > 0) {
      const std::size_t want = passAll_ || copyLeft_ > buffer_.size()
                                   ? buffer_.size()
                                   : static_cast<std::size_t>(copyLeft_);
      const std::string piece = PullExact(want);
      if (piece.empty()) return {};
      if (!passAll_) copyLeft_ -= piece.size();
      out_ = piece;
      return out_;
    }
    if (!started_) {
      started_ = true;
      pending_ = PullExact(8);
      if (pending_ != std::string_view(kSignature, 8)) passAll_ = true;
      if (pending_.empty()) return {};
      continue;
    }
    AtBlock();
    if (pending_.empty() && copyLeft_ == 0 && !passAll_) return {};
  }
}

// One block: CRC-32, header size, header (type onwards), then its data.
void Rar5HeaderMend::AtBlock() {
  const std::uint64_t start = pos_;
  std::string head = PullExact(4 + 10);
  std::size_t p = 4;
  std::uint64_t size = 0;
  if (head.size() < 5 || !Vint(head, p, size) || size == 0 || size > kMaxHeader) {
    pending_ = head;
    passAll_ = true;
    return;
  }
  pos_ = start + p;
  const std::string header = PullExact(static_cast<std::size_t>(size));
  std::string block = head.substr(0, p) + header;
  std::size_t q = 0;
  std::uint64_t type = 0, flags = 0, extra = 0, data = 0;
  if (header.size() < size || Crc32(std::string_view(block).substr(4)) != Le32(block) ||
      !Vint(header, q, type) || !Vint(header, q, flags) ||
      ((flags & 0x01) && !Vint(header, q, extra)) || ((flags & 0x02) && !Vint(header, q, data))) {
    pending_ = block;
    passAll_ = true;
    return;
  }
  std::size_t end = 0;
  if (KnownEnd(header, end, extra) && end + extra < header.size()) {
    const std::string body = header.substr(0, end) + header.substr(header.size() - extra);
    const std::string sized = VintBytes(body.size()) + body;
    const std::uint32_t crc = Crc32(sized);
    block.clear();
    for (int i = 0; i < 4; ++i) block += static_cast<char>((crc >> (8 * i)) & 0xFF);
    block += sized;
  }
  pending_ = std::move(block);
  copyLeft_ = data;
  if (type == 5) passAll_ = true;  // the end: what follows passes unchanged
}

}  // namespace unrar
