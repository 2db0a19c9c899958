// Builds an MSZIP cabinet of one folder whose file rows are written as the
// test wants them: any offset and length in the folder, so many rows can
// point at the same bytes (a small cabinet that names one large block many
// times) or lie in any order. The folder holds zeros, compressed block by
// block as the format does (32 KiB each, "CK" then a deflate stream).
#pragma once

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace cabtest {

struct SharedBlockCabinet {
  struct Row {
    std::string name;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
  };
  std::uint32_t folderBytes = 0;
  std::vector<Row> rows;

  std::string Build() const {
    std::string rowBytes;
    for (const auto& r : rows) {
      U32(rowBytes, r.length);
      U32(rowBytes, r.offset);
      U16(rowBytes, 0);                            // folder 0
      U16(rowBytes, (46 << 9) | (11 << 5) | 3);    // 2026-11-03
      U16(rowBytes, (12 << 11) | (34 << 5) | 28);  // 12:34:56
      U16(rowBytes, 0x20);
      rowBytes += r.name;
      rowBytes += '\0';
    }
    std::string blockBytes;
    std::uint16_t blocks = 0;
    const std::string zeros(32768, '\0');
    for (std::uint32_t at = 0; at < folderBytes; at += 32768, ++blocks) {
      const std::uint32_t n = folderBytes - at < 32768 ? folderBytes - at : 32768;
      const std::string packed = "CK" + Deflate(zeros.substr(0, n));
      U32(blockBytes, 0);  // no checksum
      U16(blockBytes, static_cast<std::uint16_t>(packed.size()));
      U16(blockBytes, static_cast<std::uint16_t>(n));
      blockBytes += packed;
    }
    const std::uint32_t headerBytes = 36 + 8;
    const std::uint32_t dataStart = headerBytes + static_cast<std::uint32_t>(rowBytes.size());
    std::string out = "MSCF";
    U32(out, 0);
    U32(out, dataStart + static_cast<std::uint32_t>(blockBytes.size()));
    U32(out, 0);
    U32(out, headerBytes);  // first file row
    U32(out, 0);
    out += '\x03';
    out += '\x01';
    U16(out, 1);  // folders
    U16(out, static_cast<std::uint16_t>(rows.size()));
    U16(out, 0);  // flags
    U16(out, 0x4321);
    U16(out, 0);
    U32(out, dataStart);
    U16(out, blocks);
    U16(out, 1);  // MSZIP
    return out + rowBytes + blockBytes;
  }

 private:
  static std::string Deflate(const std::string& in) {
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&z, in.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
    return out;
  }
  static void U16(std::string& s, std::uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
  }
  static void U32(std::string& s, std::uint32_t v) {
    U16(s, static_cast<std::uint16_t>(v & 0xFFFF));
    U16(s, static_cast<std::uint16_t>(v >> 16));
  }
};

}  // namespace cabtest
