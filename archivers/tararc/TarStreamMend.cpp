#include "TarStreamMend.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace tararc {
namespace {

constexpr std::size_t kBlock = 512;
constexpr std::uint64_t kKeptRecord = 64 * 1024;
constexpr std::size_t kMaxSparseMap = 1 << 20;

std::uint64_t Padded(std::uint64_t n) { return (n + kBlock - 1) / kBlock * kBlock; }

bool ChecksumOk(const std::string& h) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < kBlock; ++i)
    sum += (i >= 148 && i < 156) ? ' ' : static_cast<unsigned char>(h[i]);
  unsigned stored = 0;
  bool digits = false;
  for (std::size_t i = 148; i < 156; ++i) {
    const char c = h[i];
    if (c >= '0' && c <= '7') {
      stored = stored * 8 + static_cast<unsigned>(c - '0');
      digits = true;
    } else if (c != ' ' && c != '\0') {
      return false;
    } else if (digits) {
      break;
    }
  }
  return digits && stored == sum;
}

// The size field: octal, or base-256 when its first byte has the high bit.
bool Size(const std::string& h, std::uint64_t& size) {
  size = 0;
  const auto first = static_cast<unsigned char>(h[124]);
  if (first & 0x80) {
    if (first != 0x80) return false;
    for (std::size_t i = 125; i < 136; ++i) {
      if (size >> 56) return false;
      size = size << 8 | static_cast<unsigned char>(h[i]);
    }
    return true;
  }
  bool digits = false;
  for (std::size_t i = 124; i < 136; ++i) {
    const char c = h[i];
    if (c >= '0' && c <= '7') {
      size = size * 8 + static_cast<std::uint64_t>(c - '0');
      digits = true;
    } else if (c == ' ' || c == '\0') {
      if (digits) break;
    } else {
      return false;
    }
  }
  return true;
}

// Writes size into the header (octal, 11 digits) and its checksum anew.
void SetSize(std::string& h, std::uint64_t size) {
  char field[16];
  std::snprintf(field, sizeof field, "%011llo", static_cast<unsigned long long>(size));
  std::memcpy(&h[124], field, 11);
  h[135] = '\0';
  std::memset(&h[148], ' ', 8);
  unsigned sum = 0;
  for (std::size_t i = 0; i < kBlock; ++i) sum += static_cast<unsigned char>(h[i]);
  std::snprintf(field, sizeof field, "%06o", sum);
  std::memcpy(&h[148], field, 6);
  h[154] = '\0';
  h[155] = ' ';
}

struct Record {
  std::string_view whole, key, value;
};

// The records of a pax header; false when they do not parse.
bool Records(std::string_view body, std::vector<Record>& out) {
  while (!body.empty()) {
    std::uint64_t length = 0;
    std::size_t i = 0;
    while (i < body.size() && body[i] >= '0' && body[i] <= '9' && length < (1ull << 40))
      length = length * 10 + static_cast<std::uint64_t>(body[i++] - '0');
    if (i == 0 || i >= body.size() || body[i] != ' ' || length > body.size() || length <= i + 1)
      return false;
    const std::string_view whole = body.substr(0, length);
    if (whole.back() != '\n') return false;
    const std::string_view text = whole.substr(i + 1, whole.size() - i - 2);
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) return false;
    out.push_back({whole, text.substr(0, eq), text.substr(eq + 1)});
    body.remove_prefix(length);
  }
  return true;
}

bool Needed(std::string_view key) {
  return key == "path" || key == "linkpath" || key == "size" || key == "GNU.sparse.map";
}

// Decimal lines of a sparse 1.0 map: the count, then offset and length of
// each region. Sets the bytes the map takes and the sum of the lengths;
// false while the map is not complete in bytes (or is no map).
bool SparseMap(std::string_view bytes, std::uint64_t& mapBytes, std::uint64_t& dataBytes,
               bool& bad) {
  bad = false;
  std::size_t pos = 0;
  auto number = [&](std::uint64_t& v) {
    v = 0;
    const std::size_t start = pos;
    while (pos < bytes.size() && bytes[pos] >= '0' && bytes[pos] <= '9') {
      if (v > (~0ull - 9) / 10) {
        bad = true;
        return false;
      }
      v = v * 10 + static_cast<std::uint64_t>(bytes[pos++] - '0');
    }
    if (pos >= bytes.size()) return false;  // more bytes needed
    if (pos == start || bytes[pos] != '\n') {
      bad = true;
      return false;
    }
    ++pos;
    return true;
  };
  std::uint64_t count = 0;
  if (!number(count)) return false;
  if (count > kMaxSparseMap) {
    bad = true;
    return false;
  }
  dataBytes = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    std::uint64_t offset = 0, length = 0;
    if (!number(offset) || !number(length)) return false;
    if (dataBytes > ~0ull - length) {
      bad = true;
      return false;
    }
    dataBytes += length;
  }
  mapBytes = pos;
  return true;
}

}  // namespace

TarStreamMend::TarStreamMend(Pull pull, Pass pass, Borrow borrow)
    : pull_(std::move(pull)),
      pass_(std::move(pass)),
      borrow_(std::move(borrow)),
      buffer_(1 << 16) {}

std::string TarStreamMend::PullExact(std::size_t n) {
  std::string s(n, '\0');
  std::size_t got = 0;
  while (got < n) {
    const std::size_t k = pull_(s.data() + got, n - got);
    if (k == 0) break;
    got += k;
  }
  s.resize(got);
  return s;
}

void TarStreamMend::Discard(std::uint64_t n) {
  n -= std::min(n, pass_ ? pass_(n) : 0);
  while (n > 0) {
    const std::size_t k =
        pull_(buffer_.data(), static_cast<std::size_t>(std::min<std::uint64_t>(n, buffer_.size())));
    if (k == 0) return;
    n -= k;
  }
}

std::string_view TarStreamMend::Read() {
  for (;;) {
    if (!pending_.empty()) {
      out_ = std::move(pending_);
      pending_.clear();
      return out_;
    }
    if (borrow_ && (passAll_ || copyLeft_ > 0)) {
      const std::string_view piece = borrow_(
          passAll_ ? SIZE_MAX
                   : static_cast<std::size_t>(std::min<std::uint64_t>(copyLeft_, SIZE_MAX)));
      if (!passAll_) copyLeft_ -= piece.size();
      return piece;
    }
    if (passAll_ || copyLeft_ > 0) {
      const std::size_t want =
          passAll_ ? buffer_.size()
                   : static_cast<std::size_t>(std::min<std::uint64_t>(copyLeft_, buffer_.size()));
      const std::size_t n = pull_(buffer_.data(), want);
      if (n == 0) return {};
      if (!passAll_) copyLeft_ -= n;
      return {buffer_.data(), n};
    }
    if (dropAfter_ > 0) {
      Discard(dropAfter_);
      dropAfter_ = 0;
    }
    AtHeader();
    if (pending_.empty() && !passAll_ && copyLeft_ == 0) return {};
  }
}

std::uint64_t TarStreamMend::Skip(std::uint64_t n) {
  if (!pending_.empty() || passAll_ || copyLeft_ == 0 || !pass_) return 0;
  const std::uint64_t done = pass_(std::min(n, copyLeft_));
  copyLeft_ -= done;
  return done;
}

void TarStreamMend::AtHeader() {
  std::string h = PullExact(kBlock);
  std::uint64_t size = 0;
  const bool zero = std::all_of(h.begin(), h.end(), [](char c) { return c == '\0'; });
  if (h.size() < kBlock || zero || !ChecksumOk(h) || !Size(h, size)) {
    pending_ = std::move(h);
    passAll_ = true;
    return;
  }
  const char type = h[156];
  if (type == 'x' || type == 'g') return PaxHeader(std::move(h), size);
  if (sparse10_ && (type == '0' || type == '\0' || type == '7')) {
    sparse10_ = false;
    return SparseMember(std::move(h), size);
  }
  if (type != 'L' && type != 'K') sparse10_ = false;
  pending_ = std::move(h);
  copyLeft_ = Padded(size);
}

void TarStreamMend::PaxHeader(std::string h, std::uint64_t size) {
  if (size > kMaxPaxBytes) {  // the reader refuses it, as it should
    pending_ = std::move(h);
    copyLeft_ = Padded(size);
    return;
  }
  std::string body = PullExact(static_cast<std::size_t>(Padded(size)));
  if (body.size() < Padded(size)) {
    pending_ = h + body;
    passAll_ = true;
    return;
  }
  std::vector<Record> records;
  const bool parsed = Records(std::string_view(body).substr(0, size), records);
  if (h[156] == 'x') {
    bool major1 = false, minor0 = false;
    for (const auto& r : records) {
      if (r.key == "GNU.sparse.major") major1 = r.value == "1";
      if (r.key == "GNU.sparse.minor") minor0 = r.value == "0";
    }
    sparse10_ = major1 && minor0;
  }
  if (parsed && size > kReaderLimit) {
    std::string kept;
    for (const auto& r : records)
      if (r.whole.size() <= kKeptRecord || Needed(r.key)) kept += r.whole;
    if (kept.size() <= kReaderLimit) {
      SetSize(h, kept.size());
      kept.resize(static_cast<std::size_t>(Padded(kept.size())), '\0');
      body = std::move(kept);
    }
  }
  pending_ = h + body;
}

void TarStreamMend::SparseMember(std::string h, std::uint64_t size) {
  const std::uint64_t padded = Padded(size);
  std::string head;
  std::uint64_t mapBytes = 0, dataBytes = 0;
  bool bad = false, complete = false;
  while (!complete && !bad && head.size() < std::min<std::uint64_t>(padded, kMaxSparseMap)) {
    const std::string block = PullExact(kBlock);
    head += block;
    if (block.size() < kBlock) break;
    complete = SparseMap(head, mapBytes, dataBytes, bad);
  }
  const std::uint64_t needed = complete ? Padded(mapBytes) + dataBytes : 0;
  if (complete && needed < size) {
    SetSize(h, needed);
    pending_ = h + head;
    copyLeft_ = Padded(needed) - head.size();
    dropAfter_ = padded - Padded(needed);
    return;
  }
  pending_ = h + head;
  copyLeft_ = padded > head.size() ? padded - head.size() : 0;
}

}  // namespace tararc
