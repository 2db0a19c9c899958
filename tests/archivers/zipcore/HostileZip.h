// Builds ZIP archives byte by byte for the hostile-input tests: names,
// sizes, attributes and offsets are whatever the test says, including lies.
#pragma once

#include <zip.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace ziptest {

struct HostileEntry {
  std::string name;       // central directory name
  std::string localName;  // local header name; empty: the same as name
  std::string data;       // the bytes stored after the local header
  std::uint16_t method = 0;
  int localMethod = -1;  // the local header's method; -1: the same as method
  std::uint32_t crc = 0;
  std::uint32_t originalSize = 0;  // claimed; 0xFFFFFFFF allowed
  std::uint32_t compressedSize = 0;
  std::uint32_t unixMode = 0100644;
  int sharesDataOf = -1;    // index of an earlier entry whose local header this one points to
  std::uint16_t flags = 0;  // general purpose flags, local and central (0x0800: the name is UTF-8)
};

class HostileZip {
 public:
  // A stored entry whose sizes and CRC are right.
  static HostileEntry Stored(const std::string& name, const std::string& data, std::uint32_t crc,
                             std::uint32_t mode = 0100644) {
    HostileEntry e;
    e.name = name;
    e.data = data;
    e.crc = crc;
    e.originalSize = e.compressedSize = static_cast<std::uint32_t>(data.size());
    e.unixMode = mode;
    return e;
  }

  // A deflate stream of one final stored block holding data.
  static std::string DeflateStored(const std::string& data) {
    std::string s;
    s += '\x01';
    const auto n = static_cast<std::uint16_t>(data.size());
    s += static_cast<char>(n & 0xFF);
    s += static_cast<char>(n >> 8);
    s += static_cast<char>(~n & 0xFF);
    s += static_cast<char>((~n >> 8) & 0xFF);
    return s + data;
  }

  static std::string Build(const std::vector<HostileEntry>& entries) {
    std::string out, central;
    std::vector<std::uint32_t> offsets;
    for (const auto& e : entries) {
      if (e.sharesDataOf >= 0) {
        offsets.push_back(offsets.at(static_cast<std::size_t>(e.sharesDataOf)));
        continue;
      }
      offsets.push_back(static_cast<std::uint32_t>(out.size()));
      const std::string& local = e.localName.empty() ? e.name : e.localName;
      U32(out, 0x04034b50);
      U16(out, 20);
      U16(out, e.flags);
      U16(out, static_cast<std::uint16_t>(e.localMethod < 0 ? e.method : e.localMethod));
      U16(out, 0);
      U16(out, 0x21);  // 1980-01-01
      U32(out, e.crc);
      U32(out, e.compressedSize);
      U32(out, e.originalSize);
      U16(out, static_cast<std::uint16_t>(local.size()));
      U16(out, 0);
      out += local;
      out += e.data;
    }
    const auto cdOffset = static_cast<std::uint32_t>(out.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const auto& e = entries[i];
      U32(central, 0x02014b50);
      U16(central, 0x031E);  // Unix, version 3.0
      U16(central, 20);
      U16(central, e.flags);
      U16(central, e.method);
      U16(central, 0);
      U16(central, 0x21);
      U32(central, e.crc);
      U32(central, e.compressedSize);
      U32(central, e.originalSize);
      U16(central, static_cast<std::uint16_t>(e.name.size()));
      U16(central, 0);
      U16(central, 0);
      U16(central, 0);
      U16(central, 0);
      U32(central, e.unixMode << 16);
      U32(central, offsets[i]);
      central += e.name;
    }
    out += central;
    U32(out, 0x06054b50);
    U16(out, 0);
    U16(out, 0);
    U16(out, static_cast<std::uint16_t>(entries.size()));
    U16(out, static_cast<std::uint16_t>(entries.size()));
    U32(out, static_cast<std::uint32_t>(central.size()));
    U32(out, cdOffset);
    U16(out, 0);
    return out;
  }

  // The entries with their central directory strongly encrypted, as the
  // format's version 6.2 stores it: an archive extra data record, then the
  // directory's ciphertext, found through a ZIP64 end record of version 62.
  static std::string WithEncryptedDirectory(const std::vector<HostileEntry>& entries) {
    std::string plain = Build(entries);
    const std::size_t cd = plain.find("PK\x01\x02");
    std::string out = plain.substr(0, cd);
    const auto cdOffset = static_cast<std::uint64_t>(out.size());
    U32(out, 0x08064b50);
    U32(out, 0);
    std::string cipher(plain.size() - cd - 22, '\0');
    for (std::size_t i = 0; i < cipher.size(); ++i) cipher[i] = static_cast<char>(i * 151 + 7);
    out += cipher;
    const auto cdSize = static_cast<std::uint64_t>(out.size()) - cdOffset;
    const auto zip64At = static_cast<std::uint64_t>(out.size());
    U32(out, 0x06064b50);
    U64(out, 44);
    U16(out, 0x033E);
    U16(out, 62);
    U32(out, 0);
    U32(out, 0);
    U64(out, entries.size());
    U64(out, entries.size());
    U64(out, cdSize);
    U64(out, cdOffset);
    U32(out, 0x07064b50);
    U32(out, 0);
    U64(out, zip64At);
    U32(out, 1);
    U32(out, 0x06054b50);
    U16(out, 0);
    U16(out, 0);
    U16(out, 0xFFFF);
    U16(out, 0xFFFF);
    U32(out, 0xFFFFFFFF);
    U32(out, 0xFFFFFFFF);
    U16(out, 0);
    return out;
  }

  // Copies every entry of the archive at from, its compressed data as it
  // is, into a new archive at to, encrypted with WinZip AES-256.
  static void EncryptAes(const std::string& from, const std::string& to,
                         const std::string& password) {
    int error = 0;
    zip_t* src = zip_open(from.c_str(), ZIP_RDONLY, &error);
    zip_t* dst = zip_open(to.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    bool ok = src != nullptr && dst != nullptr;
    for (zip_int64_t i = 0, n = ok ? zip_get_num_entries(src, 0) : 0; ok && i < n; ++i) {
      const auto index = static_cast<zip_uint64_t>(i);
      zip_source_t* data = zip_source_zip(dst, src, index, ZIP_FL_COMPRESSED, 0, -1);
      const zip_int64_t added =
          data ? zip_file_add(dst, zip_get_name(src, index, ZIP_FL_ENC_RAW), data, 0) : -1;
      if (added < 0) zip_source_free(data);
      ok = added >= 0 && zip_file_set_encryption(dst, static_cast<zip_uint64_t>(added),
                                                 ZIP_EM_AES_256, password.c_str()) == 0;
    }
    ok = ok && zip_close(dst) == 0;
    if (!ok && dst != nullptr) zip_discard(dst);
    if (src != nullptr) zip_discard(src);
    if (!ok) throw std::runtime_error("cannot encrypt " + from);
  }

 private:
  static void U16(std::string& s, std::uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
  }
  static void U32(std::string& s, std::uint32_t v) {
    U16(s, static_cast<std::uint16_t>(v & 0xFFFF));
    U16(s, static_cast<std::uint16_t>(v >> 16));
  }
  static void U64(std::string& s, std::uint64_t v) {
    U32(s, static_cast<std::uint32_t>(v));
    U32(s, static_cast<std::uint32_t>(v >> 32));
  }
};

}  // namespace ziptest
