// Builds a cabinet set of two parts byte by byte, as a writer that spans
// disks does (gcab writes no sets): stored folders, file a wholly in the
// first part, file b running on into the second (its data block split
// between the parts), file c in a folder of its own in the second.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace cabtest {

struct CabinetSet {
  std::string first, second;  // the parts' bytes

  static constexpr std::uint32_t kA = 32768, kB = 30000, kC = 5000;
  static constexpr std::uint32_t kSplitAt = 16000;  // bytes of b's block in the first part

  // data: kA + kB + kC bytes, the files' contents one after another.
  static CabinetSet Build(const std::string& data, const std::string& firstName,
                          const std::string& secondName) {
    const std::string b1 = data.substr(0, kA), b2 = data.substr(kA, kB),
                      c = data.substr(kA + kB, kC);
    CabinetSet set;
    // First part: file a in folder 0, file b continued into the next part.
    const std::string files1 = File(kA, 0, 0, "a.log") + File(kB, kA, 0xFFFE, "b.log");
    set.first = Header(0, "", secondName, files1,
                       {{2, Block(b1, b1.size()) + Block(b2.substr(0, kSplitAt), 0)}});
    // Second part: the rest of folder 0 with file b's end, folder 1 with c.
    const std::string files2 = File(kB, kA, 0xFFFD, "b.log") + File(kC, 0, 1, "c.log");
    set.second = Header(1, firstName, "", files2,
                        {{1, Block(b2.substr(kSplitAt), b2.size())}, {1, Block(c, c.size())}});
    return set;
  }

 private:
  static void U16(std::string& s, std::uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
  }
  static void U32(std::string& s, std::uint32_t v) {
    U16(s, v & 0xFFFF);
    U16(s, v >> 16);
  }
  static std::string File(std::uint32_t length, std::uint32_t offset, std::uint16_t folder,
                          const std::string& name) {
    std::string f;
    U32(f, length);
    U32(f, offset);
    U16(f, folder);
    U16(f, (46 << 9) | (11 << 5) | 3);
    U16(f, (12 << 11) | (34 << 5) | 28);
    U16(f, 0x20);
    return f + name + '\0';
  }
  // A stored data block; uncompressed 0 marks a block that goes on in the
  // next part.
  static std::string Block(const std::string& bytes, std::size_t uncompressed) {
    std::string b;
    U32(b, 0);  // no checksum
    U16(b, static_cast<std::uint32_t>(bytes.size()));
    U16(b, static_cast<std::uint32_t>(uncompressed));
    return b + bytes;
  }
  // folders: each folder's block count and blocks.
  static std::string Header(std::uint16_t index, const std::string& prev, const std::string& next,
                            const std::string& files,
                            const std::vector<std::pair<std::uint16_t, std::string>>& folders) {
    std::string names;
    std::uint16_t flags = 0;
    if (!prev.empty()) {
      flags |= 1;
      names += prev + '\0' + "DISK" + std::to_string(index) + '\0';
    }
    if (!next.empty()) {
      flags |= 2;
      names += next + '\0' + "DISK" + std::to_string(index + 2) + '\0';
    }
    const auto folderCount = static_cast<std::uint32_t>(folders.size());
    const std::uint32_t filesAt = 36 + static_cast<std::uint32_t>(names.size()) + 8 * folderCount;
    const std::uint32_t dataAt = filesAt + static_cast<std::uint32_t>(files.size());
    std::string folderRecords, blocks;
    for (const auto& [count, bytes] : folders) {
      U32(folderRecords, dataAt + static_cast<std::uint32_t>(blocks.size()));
      U16(folderRecords, count);
      U16(folderRecords, 0);  // stored
      blocks += bytes;
    }
    std::string out = "MSCF";
    U32(out, 0);
    U32(out, dataAt + static_cast<std::uint32_t>(blocks.size()));
    U32(out, 0);
    U32(out, filesAt);
    U32(out, 0);
    out += '\x03';
    out += '\x01';
    U16(out, folderCount);
    U16(out, 2);  // files
    U16(out, flags);
    U16(out, 0x4321);  // set id
    U16(out, index);
    return out + names + folderRecords + files + blocks;
  }
};

}  // namespace cabtest
