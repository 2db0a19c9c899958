#include "HostileArchives.h"

#include "lzh/Crc16.h"

namespace lzhtest {
namespace {

void Put(Bytes& b, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Set16(Bytes& b, std::size_t at, unsigned v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Method, packed and original size, time, attribute, level: bytes 2..20.
void PutCommon(Bytes& b, const MemberSpec& s, std::uint64_t packed, std::uint32_t stamp,
               std::uint8_t attribute, int level) {
  for (char c : s.method) b.push_back(static_cast<std::uint8_t>(c));
  Put(b, packed, 4);
  Put(b, s.originalSize ? s.originalSize : s.data.size(), 4);
  Put(b, stamp, 4);
  b.push_back(attribute);
  b.push_back(static_cast<std::uint8_t>(level));
}

std::uint16_t DataCrc(const MemberSpec& s) {
  if (s.method != "-lh0-" || s.crc) return s.crc;
  return lzh::crc16(0, s.data.data(), s.data.size());
}

// The chain of extended headers with 16-bit next sizes, the first size
// left to the caller.
Bytes Chain(const std::vector<Extension>& extensions) {
  Bytes b;
  for (std::size_t i = 0; i < extensions.size(); ++i) {
    b.push_back(extensions[i].type);
    b.insert(b.end(), extensions[i].data.begin(), extensions[i].data.end());
    Put(b, i + 1 < extensions.size() ? extensions[i + 1].data.size() + 3 : 0, 2);
  }
  return b;
}

class BitPacker {
 public:
  void Put(std::uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      acc_ = static_cast<std::uint8_t>((acc_ << 1) | ((value >> i) & 1));
      if (++count_ == 8) {
        out_.push_back(acc_);
        acc_ = 0;
        count_ = 0;
      }
    }
  }
  Bytes Finish() {
    if (count_) out_.push_back(static_cast<std::uint8_t>(acc_ << (8 - count_)));
    count_ = 0;
    return out_;
  }

 private:
  Bytes out_;
  std::uint8_t acc_ = 0;
  int count_ = 0;
};

}  // namespace

Bytes Level1Member(const MemberSpec& s) {
  const Bytes chain = Chain(s.extensions);
  Bytes b(2, 0);
  PutCommon(b, s, s.data.size() + chain.size(), 0x5A216000u, 0x20, 1);
  b.push_back(static_cast<std::uint8_t>(s.name.size()));
  b.insert(b.end(), s.name.begin(), s.name.end());
  Put(b, DataCrc(s), 2);
  b.push_back(s.osId);
  Put(b, s.extensions.empty() ? 0 : s.extensions[0].data.size() + 3, 2);
  b[0] = static_cast<std::uint8_t>(b.size() - 2);
  unsigned sum = 0;
  for (std::size_t i = 2; i < b.size(); ++i) sum += b[i];
  b[1] = static_cast<std::uint8_t>(sum);
  b.insert(b.end(), chain.begin(), chain.end());
  b.insert(b.end(), s.data.begin(), s.data.end());
  return b;
}

Bytes Level2Member(const MemberSpec& s) {
  const Bytes chain = Chain(s.extensions);
  Bytes b(2, 0);
  PutCommon(b, s, s.data.size(), s.unixTime, 0x20, 2);
  Put(b, DataCrc(s), 2);
  b.push_back(s.osId);
  Put(b, s.extensions.empty() ? 0 : s.extensions[0].data.size() + 3, 2);
  b.insert(b.end(), chain.begin(), chain.end());
  if ((b.size() & 0xFF) == 0) b.push_back(0);  // a low length byte of 0 reads as the end mark
  Set16(b, 0, static_cast<unsigned>(b.size()));
  b.insert(b.end(), s.data.begin(), s.data.end());
  return b;
}

Bytes Archive(const std::vector<Bytes>& members) {
  Bytes b;
  for (const auto& m : members) b.insert(b.end(), m.begin(), m.end());
  b.push_back(0);
  return b;
}

Bytes EmptyExtensionChain(std::size_t count) {
  MemberSpec s;
  s.name = "chain.log";
  s.data = Text("x");
  s.extensions.assign(count, Extension{0x7E, {}});
  return Level1Member(s);
}

Bytes SingleCodeBlocks(std::size_t blocks) {
  BitPacker p;
  for (std::size_t i = 0; i < blocks; ++i) {
    p.Put(65535, 16);  // symbols in the block
    p.Put(0, 5);       // code-length code: a single code ...
    p.Put(0, 5);       // ... for symbol 0
    p.Put(0, 9);       // literal/length code: a single code ...
    p.Put(509, 9);     // ... for a match of 256 bytes
    p.Put(0, 4);       // offset code: a single code ...
    p.Put(0, 4);       // ... for one byte back
  }
  return p.Finish();
}

Bytes MacBinaryImage(const std::string& macName, const Bytes& dataFork, const Bytes& resourceFork,
                     bool version2) {
  Bytes h(128, 0);
  h[1] = static_cast<std::uint8_t>(macName.size());
  for (std::size_t i = 0; i < macName.size(); ++i) h[2 + i] = static_cast<std::uint8_t>(macName[i]);
  const char typeCreator[] = "TEXTttxt";
  for (int i = 0; i < 8; ++i) h[65 + i] = static_cast<std::uint8_t>(typeCreator[i]);
  const auto be32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) h[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
  };
  be32(83, static_cast<std::uint32_t>(dataFork.size()));
  be32(87, static_cast<std::uint32_t>(resourceFork.size()));
  be32(91, 0xB0000000u);  // creation and modification times, Mac epoch
  be32(95, 0xB0000000u);
  if (version2) {
    h[122] = 129;
    h[123] = 129;
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < 124; ++i) {
      crc = static_cast<std::uint16_t>(crc ^ (h[i] << 8));
      for (int bit = 0; bit < 8; ++bit)
        crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    h[124] = static_cast<std::uint8_t>(crc >> 8);
    h[125] = static_cast<std::uint8_t>(crc);
  }
  Bytes out = h;
  for (const Bytes* fork : {&dataFork, &resourceFork}) {
    out.insert(out.end(), fork->begin(), fork->end());
    out.resize((out.size() + 127) / 128 * 128, 0);
  }
  return out;
}

Bytes Utf16Le(const std::u16string& s) {
  Bytes b;
  for (char16_t c : s) Put(b, c, 2);
  return b;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

}  // namespace lzhtest
