// Builds cabinet files byte by byte, with one stored folder, so tests can
// make the damaged and hostile ones no cabinet writer would: names that
// climb out or are absolute, names in cp932 without the UTF-8 attribute,
// counts and offsets that point past the end, blocks claiming huge sizes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cabtest {

struct HostileCabinet {
  struct File {
    std::string name;  // raw bytes as stored
    std::string data;
    std::uint16_t attributes = 0x20;
    std::uint16_t date = (46 << 9) | (11 << 5) | 3;    // 2026-11-03
    std::uint16_t time = (12 << 11) | (34 << 5) | 28;  // 12:34:56
    std::optional<std::uint32_t> offsetInFolder;       // default: where its data lies
    std::optional<std::uint16_t> folderIndex;          // default: 0
  };
  std::vector<File> files;
  std::optional<std::uint16_t> folderCount;      // default: 1
  std::optional<std::uint32_t> dataOffset;       // the folder's first block; default: right
  std::optional<std::uint16_t> blockCount;       // default: right
  std::optional<std::uint16_t> firstBlockBytes;  // cbData of the first block; default: right

  File& Add(const std::string& name, const std::string& data, std::uint16_t attributes = 0x20) {
    File f;
    f.name = name;
    f.data = data;
    f.attributes = attributes;
    files.push_back(f);
    return files.back();
  }

  std::string Build() const {
    std::string data;
    for (const auto& f : files) data += f.data;
    std::vector<std::string> blocks;
    for (std::size_t at = 0; at < data.size(); at += 32768)
      blocks.push_back(data.substr(at, 32768));
    if (blocks.empty()) blocks.emplace_back();
    std::string fileRecords;
    std::uint32_t offset = 0;
    for (const auto& f : files) {
      U32(fileRecords, static_cast<std::uint32_t>(f.data.size()));
      U32(fileRecords, f.offsetInFolder.value_or(offset));
      U16(fileRecords, f.folderIndex.value_or(0));
      U16(fileRecords, f.date);
      U16(fileRecords, f.time);
      U16(fileRecords, f.attributes);
      fileRecords += f.name;
      fileRecords += '\0';
      offset += static_cast<std::uint32_t>(f.data.size());
    }
    const std::uint32_t headerBytes = 36 + 8;
    const std::uint32_t dataStart = headerBytes + static_cast<std::uint32_t>(fileRecords.size());
    std::string blockBytes;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      U32(blockBytes, 0);  // no checksum
      U16(blockBytes, i == 0 && firstBlockBytes ? *firstBlockBytes
                                                : static_cast<std::uint16_t>(blocks[i].size()));
      U16(blockBytes, static_cast<std::uint16_t>(blocks[i].size()));
      blockBytes += blocks[i];
    }
    std::string out = "MSCF";
    U32(out, 0);
    U32(out, dataStart + static_cast<std::uint32_t>(blockBytes.size()));
    U32(out, 0);
    U32(out, headerBytes);
    U32(out, 0);
    out += '\x03';
    out += '\x01';
    U16(out, folderCount.value_or(1));
    U16(out, static_cast<std::uint16_t>(files.size()));
    U16(out, 0);  // flags
    U16(out, 0x1234);
    U16(out, 0);
    U32(out, dataOffset.value_or(dataStart));
    U16(out, blockCount.value_or(static_cast<std::uint16_t>(blocks.size())));
    U16(out, 0);  // stored
    return out + fileRecords + blockBytes;
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
};

}  // namespace cabtest
