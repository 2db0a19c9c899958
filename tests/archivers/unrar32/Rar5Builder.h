// Builds small RAR 5 archives with stored members, for header forms the
// RAR 5 format allows and no archiver here writes: a file header with
// bytes after its known fields (a later writer's), which readers skip by
// the header's size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/Crc32.h"

namespace unrartest {

class Rar5Builder {
 public:
  // trailing: bytes after the name, inside the header's size.
  Rar5Builder& Add(const std::string& name, const std::string& data,
                   const std::string& trailing = {}) {
    members_.push_back({name, data, trailing});
    return *this;
  }
  std::string Build() const {
    std::string out("Rar!\x1a\x07\x01\x00", 8);
    out += Block(Vint(1) + Vint(0) + Vint(0));  // main header: no flags
    for (const auto& m : members_) {
      std::string h = Vint(2) + Vint(0x02) + Vint(m.data.size());  // file, with data
      h += Vint(0x04) + Vint(m.data.size()) + Vint(0x20);          // CRC present, size, attributes
      h += U32(testing_support::Crc32(m.data));
      h += Vint(0) + Vint(0) + Vint(m.name.size()) + m.name;  // stored, Windows, name
      out += Block(h + m.trailing) + m.data;
    }
    out += Block(Vint(5) + Vint(0) + Vint(0));  // end of archive
    return out;
  }

 private:
  struct Member {
    std::string name, data, trailing;
  };
  static std::string Vint(std::uint64_t v) {
    std::string s;
    do {
      unsigned char b = v & 0x7F;
      v >>= 7;
      if (v) b |= 0x80;
      s += static_cast<char>(b);
    } while (v);
    return s;
  }
  static std::string U32(std::uint32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
  }
  // CRC-32 of the size and the header, the size, the header.
  static std::string Block(const std::string& header) {
    const std::string sized = Vint(header.size()) + header;
    return U32(testing_support::Crc32(sized)) + sized;
  }
  std::vector<Member> members_;
};

}  // namespace unrartest
