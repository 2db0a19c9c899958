#include "TestLzhContainer.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace lzhtest {
namespace {

void put16(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  v[at] = static_cast<std::uint8_t>(x);
  v[at + 1] = static_cast<std::uint8_t>(x >> 8);
}
void put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<std::uint8_t>(x >> (8 * i));
}
std::uint32_t get16(const std::vector<std::uint8_t>& v, std::size_t at) {
  return v[at] | (v[at + 1] << 8);
}
std::uint32_t get32(const std::vector<std::uint8_t>& v, std::size_t at) {
  return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) |
         (static_cast<std::uint32_t>(v[at + 3]) << 24);
}

}  // namespace

std::vector<std::uint8_t> makeSingleMemberArchive(int level, const std::string& method,
                                                  const std::string& name,
                                                  const std::vector<std::uint8_t>& packed,
                                                  std::uint64_t originalSize, std::uint16_t crc) {
  std::vector<std::uint8_t> h;
  if (level == 0) {
    h.assign(24 + name.size(), 0);
    h[0] = static_cast<std::uint8_t>(22 + name.size());
    std::copy(method.begin(), method.end(), h.begin() + 2);
    put32(h, 7, static_cast<std::uint32_t>(packed.size()));
    put32(h, 11, static_cast<std::uint32_t>(originalSize));
    put32(h, 15, 0x5B2E0000);  // 2025-09-14 00:00 in DOS form
    h[19] = 0x20;
    h[20] = 0;
    h[21] = static_cast<std::uint8_t>(name.size());
    std::copy(name.begin(), name.end(), h.begin() + 22);
    put16(h, 22 + name.size(), crc);
    unsigned sum = 0;
    for (std::size_t i = 2; i < h.size(); ++i) sum += h[i];
    h[1] = static_cast<std::uint8_t>(sum);
  } else {
    // Base header, then a header-CRC extension and a file-name extension.
    std::size_t total = 26 + 5 + 3 + name.size();
    h.assign(total, 0);
    put16(h, 0, static_cast<std::uint32_t>(total));
    std::copy(method.begin(), method.end(), h.begin() + 2);
    put32(h, 7, static_cast<std::uint32_t>(packed.size()));
    put32(h, 11, static_cast<std::uint32_t>(originalSize));
    put32(h, 15, 1760000000u);
    h[19] = 0x20;
    h[20] = 2;
    put16(h, 21, crc);
    h[23] = 'U';
    put16(h, 24, 5);
    h[26] = 0x00;  // header CRC, filled in below
    put16(h, 29, static_cast<std::uint32_t>(3 + name.size()));
    h[31] = 0x01;
    std::copy(name.begin(), name.end(), h.begin() + 32);
    put16(h, 32 + name.size(), 0);
    put16(h, 27, referenceCrc16(h));
  }
  h.insert(h.end(), packed.begin(), packed.end());
  h.push_back(0);  // end of archive
  return h;
}

std::vector<Member> listMembers(const std::vector<std::uint8_t>& a) {
  std::vector<Member> out;
  std::size_t at = 0;
  while (at + 22 <= a.size() && a[at] != 0) {
    Member m;
    int level = a[at + 20];
    m.method.assign(a.begin() + static_cast<long>(at) + 2, a.begin() + static_cast<long>(at) + 7);
    m.packedSize = get32(a, at + 7);
    m.originalSize = get32(a, at + 11);
    if (level == 0 || level == 1) {
      std::size_t hsize = a[at] + 2u;
      std::size_t nameLen = a[at + 21];
      m.name.assign(a.begin() + static_cast<long>(at) + 22,
                    a.begin() + static_cast<long>(at + 22 + nameLen));
      m.crc = static_cast<std::uint16_t>(get16(a, at + 22 + nameLen));
      std::size_t data = at + hsize;
      if (level == 1) {
        std::size_t next = get16(a, at + hsize - 2);
        while (next != 0 && data + next <= a.size()) {
          m.packedSize -= next;
          data += next;
          next = get16(a, data - 2);
        }
      }
      m.dataOffset = data;
    } else if (level == 2) {
      std::size_t total = get16(a, at);
      m.crc = static_cast<std::uint16_t>(get16(a, at + 21));
      std::size_t ext = at + 24;
      std::size_t next = get16(a, ext);
      ext += 2;
      while (next != 0 && ext + next <= a.size()) {
        if (a[ext] == 0x01)
          m.name.assign(a.begin() + static_cast<long>(ext) + 1,
                        a.begin() + static_cast<long>(ext + next - 2));
        std::size_t following = get16(a, ext + next - 2);
        ext += next;
        next = following;
      }
      // Some writers leave the extension headers out of the total; the data follows the last one.
      m.dataOffset = std::max(at + total, ext);
    } else {
      break;
    }
    if (m.dataOffset + m.packedSize > a.size()) break;
    out.push_back(m);
    at = m.dataOffset + m.packedSize;
  }
  return out;
}

std::uint16_t referenceCrc16(const std::vector<std::uint8_t>& data) {
  std::uint16_t crc = 0;
  for (std::uint8_t b : data) {
    crc ^= b;
    for (int k = 0; k < 8; ++k)
      crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                      : static_cast<std::uint16_t>(crc >> 1);
  }
  return crc;
}

std::vector<std::uint8_t> syntheticLog(std::size_t bytes, std::uint32_t seed) {
  static const char* const kLevels[] = {"INFO", "WARN", "ERROR", "DEBUG"};
  static const char* const kPaths[] = {"/api/orders", "/api/users/login", "/static/app.js",
                                       "/health", "/api/report?month=11"};
  static const char* const kHosts[] = {"web01", "web02", "db-main", "batch7"};
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> out;
  out.reserve(bytes + 200);
  unsigned t = 0;
  char line[256];
  while (out.size() < bytes) {
    t += rng() % 3000;
    int n = std::snprintf(
        line, sizeof line,
        "2026-11-07 %02u:%02u:%02u.%03u %s %s GET %s status=%u bytes=%u id=%08x\r\n",
        (t / 3600000) % 24, (t / 60000) % 60, (t / 1000) % 60, t % 1000, kLevels[rng() % 4],
        kHosts[rng() % 4], kPaths[rng() % 5], static_cast<unsigned>(200 + (rng() % 4) * 100),
        static_cast<unsigned>(rng() % 100000), static_cast<unsigned>(rng()));
    out.insert(out.end(), line, line + n);
  }
  out.resize(bytes);
  return out;
}

std::vector<std::uint8_t> randomBytes(std::size_t bytes, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> v(bytes);
  for (auto& b : v) b = static_cast<std::uint8_t>(rng());
  return v;
}

}  // namespace lzhtest
