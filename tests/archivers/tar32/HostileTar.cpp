#include "HostileTar.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace tartest {
namespace {

// A NUL-terminated octal number filling the field, leading zeros.
void Octal(char* field, std::size_t width, std::uint64_t value) {
  field[width - 1] = '\0';
  for (std::size_t i = width - 1; i-- > 0; value >>= 3)
    field[i] = static_cast<char>('0' + (value & 7));
}

void Append(std::string& out, const RawMember& m) {
  {
    char h[512];
    std::memset(h, 0, sizeof h);
    std::memcpy(h, m.name.data(), std::min<std::size_t>(m.name.size(), 100));
    Octal(h + 100, 8, m.mode);
    Octal(h + 108, 8, 0);
    Octal(h + 116, 8, 0);
    Octal(h + 124, 12, m.data.size());
    Octal(h + 136, 12, static_cast<std::uint64_t>(m.mtime));
    h[156] = m.type;
    std::memcpy(h + 157, m.linkName.data(), std::min<std::size_t>(m.linkName.size(), 100));
    std::memcpy(h + 257, "ustar", 6);
    std::memcpy(h + 263, "00", 2);
    std::memset(h + 148, ' ', 8);
    unsigned sum = 0;
    for (unsigned char c : h) sum += c;
    Octal(h + 148, 7, sum);
    out.append(h, sizeof h);
    out += m.data;
    out.append((512 - m.data.size() % 512) % 512, '\0');
  }
}

}  // namespace

std::string PaxRecord(const std::string& key, const std::string& value) {
  const std::string body = " " + key + "=" + value + "\n";
  std::size_t length = body.size() + 1;
  while (std::to_string(length).size() + body.size() != length) ++length;
  return std::to_string(length) + body;
}

std::string BuildTar(const std::vector<RawMember>& members) {
  std::string out;
  for (const auto& m : members) {
    if (!m.pax.empty()) Append(out, RawMember("PaxHeaders/" + m.name.substr(0, 80), 'x', m.pax));
    Append(out, m);
  }
  out.append(1024, '\0');
  return out;
}

}  // namespace tartest
