// Builds ARJ archives byte by byte for the hostile-input tests: stored
// members with any name, flags, sizes and CRCs, and headers that are right
// unless a test asks for them to be wrong. Written from the format's public
// description, independently of the library's reader.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/Crc32.h"

namespace unarjtest {

using testing_support::Crc32;

struct TestMember {
  TestMember(std::string n, std::string d) : name(std::move(n)), data(std::move(d)) {}
  std::string name;
  std::string data;  // stored as it is (method 0)
  std::uint8_t flags = 0x10;
  std::uint8_t type = 0;  // 0 binary, 3 folder
  std::uint8_t hostOs = 2;
  std::uint32_t stamp = 1790000000;  // Unix seconds (host 2)
  std::uint16_t mode = 010644;
  std::optional<std::uint32_t> packedSize, originalSize, crc;  // override the true values
  bool badHeaderCrc = false;
  std::string extendedHeader;  // one extended header with these bytes, when not empty
  bool badExtendedCrc = false;
};

class ArjTestWriter {
 public:
  static std::string Le16(std::uint32_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
  }
  static std::string Le32(std::uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

  // The main header; mainFlags 0x04 marks a volume that another follows.
  explicit ArjTestWriter(std::uint8_t mainFlags = 0x10) {
    out_ = Header(Fixed(mainFlags, 0, 2, 2, 1790000000, 0, 0, 0, 0), "test.arj", false, {}, false);
  }

  ArjTestWriter& Add(const TestMember& m) {
    const auto packed = m.packedSize.value_or(static_cast<std::uint32_t>(m.data.size()));
    const auto original = m.originalSize.value_or(static_cast<std::uint32_t>(m.data.size()));
    const auto crc = m.crc.value_or(Crc32(m.data));
    out_ += Header(Fixed(m.flags, 0, m.type, m.hostOs, m.stamp, packed, original, crc, m.mode),
                   m.name, m.badHeaderCrc, m.extendedHeader, m.badExtendedCrc);
    out_ += m.data;
    return *this;
  }
  // The end mark: the id and a basic header size of 0.
  std::string Finish() const { return out_ + "\x60\xEA" + Le16(0); }
  std::string Unfinished() const { return out_; }

 private:
  static std::string Fixed(std::uint8_t flags, std::uint8_t method, std::uint8_t type,
                           std::uint8_t host, std::uint32_t stamp, std::uint32_t packed,
                           std::uint32_t original, std::uint32_t crc, std::uint16_t mode) {
    std::string f;
    f += static_cast<char>(30);  // first header size
    f += static_cast<char>(11);  // version
    f += static_cast<char>(1);   // version needed
    f += static_cast<char>(host);
    f += static_cast<char>(flags);
    f += static_cast<char>(method);
    f += static_cast<char>(type);
    f += '\0';  // reserved
    f += Le32(stamp) + Le32(packed) + Le32(original) + Le32(crc);
    f += Le16(0) + Le16(mode) + '\0' + '\0';
    return f;
  }
  static std::string Header(const std::string& fixed, const std::string& name, bool badCrc,
                            const std::string& ext, bool badExtCrc) {
    const std::string basic = fixed + name + '\0' + '\0';  // name, empty comment
    std::string h = "\x60\xEA" + Le16(static_cast<std::uint32_t>(basic.size())) + basic +
                    Le32(Crc32(basic) ^ (badCrc ? 1u : 0u));
    if (!ext.empty())
      h += Le16(static_cast<std::uint32_t>(ext.size())) + ext +
           Le32(Crc32(ext) ^ (badExtCrc ? 1u : 0u));
    return h + Le16(0);
  }

  std::string out_;
};

}  // namespace unarjtest
