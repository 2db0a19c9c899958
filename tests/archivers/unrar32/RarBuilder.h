// Builds small RAR 2.9-4 archives with stored members (or bytes marked as packed), for hostile and
// edge cases no archiver would write: any name, a wrong CRC, a false size, a link member, data cut
// short.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/Crc32.h"

namespace unrartest {

using testing_support::Crc32;

struct StoredMember {
  StoredMember(std::string n, std::string d) : name(std::move(n)), data(std::move(d)) {}
  StoredMember& WithCrc(std::uint32_t v) {
    crc = v;
    return *this;
  }
  StoredMember& WithClaimedSize(std::uint32_t v) {
    claimedSize = v;
    return *this;
  }
  StoredMember& WithUnixMode(std::uint32_t v) {
    unixMode = v;
    return *this;
  }
  // Marks the data as packed by method (0x31 fastest .. 0x35 best) with a
  // dictionary of 64 KiB << dictionaryBits; the bytes stay as given.
  StoredMember& WithMethod(char m, std::uint16_t dictionaryBits) {
    method = m;
    dictionary = dictionaryBits;
    return *this;
  }

  std::string name;  // as stored ('\' between folders, as MS-DOS hosts write)
  std::string data;
  bool folder = false;
  std::optional<std::uint32_t> crc;          // default: the data's CRC-32
  std::optional<std::uint32_t> claimedSize;  // default: the data's length
  std::optional<std::uint32_t> unixMode;     // a Unix host's mode (S_IFLNK for a link)
  char method = 0x30;                        // stored
  std::uint16_t dictionary = 0;
  std::uint32_t dosTime = (46u << 25) | (11u << 21) | (5u << 16) | (12u << 11);  // 2026-11-05 12:00
};

class RarBuilder {
 public:
  RarBuilder& Add(StoredMember m) {
    members_.push_back(std::move(m));
    return *this;
  }
  // cut: drop this many bytes from the end of the archive.
  std::string Build(std::size_t cut = 0) const {
    std::string out("Rar!\x1a\x07\x00", 7);
    out += Block(0x73, 0, std::string(6, '\0'));
    for (const auto& m : members_) {
      std::string h;
      const std::uint32_t size =
          m.claimedSize ? *m.claimedSize : static_cast<std::uint32_t>(m.data.size());
      Put32(h, static_cast<std::uint32_t>(m.data.size()));  // packed size
      Put32(h, size);
      h += static_cast<char>(m.unixMode ? 3 : 2);  // host: Unix or Windows
      Put32(h, m.crc ? *m.crc : Crc32(m.data));
      Put32(h, m.dosTime);
      h += static_cast<char>(29);  // version needed to extract
      h += m.method;
      Put16(h, static_cast<std::uint16_t>(m.name.size()));
      Put32(h, m.unixMode ? *m.unixMode : (m.folder ? 0x10u : 0x20u));
      h += m.name;
      out += Block(0x74, 0x8000 | (m.folder ? 0xE0 : m.dictionary << 5), h) + m.data;
    }
    out += Block(0x7B, 0x4000, "");
    out.resize(out.size() - std::min(cut, out.size()));
    return out;
  }

 private:
  static void Put16(std::string& s, std::uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
  }
  static void Put32(std::string& s, std::uint32_t v) {
    Put16(s, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(s, static_cast<std::uint16_t>(v >> 16));
  }
  // HEAD_CRC, HEAD_TYPE, HEAD_FLAGS, HEAD_SIZE, then the rest.
  static std::string Block(int type, std::uint16_t flags, const std::string& rest) {
    std::string body;
    body += static_cast<char>(type);
    Put16(body, flags);
    Put16(body, static_cast<std::uint16_t>(7 + rest.size()));
    body += rest;
    std::string block;
    Put16(block, static_cast<std::uint16_t>(Crc32(body) & 0xFFFF));
    return block + body;
  }

  std::vector<StoredMember> members_;
};

}  // namespace unrartest
