// Walks the member headers of an LZH archive file and decodes members.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "EntryHeader.h"
#include "EntryName.h"
#include "MacBinary.h"
#include "lzh/LzhCodec.h"

namespace lzh {

struct ArchiveMember {
  EntryHeader header;
  EntryPath path;
  std::uint64_t headerOffset = 0;
  std::uint64_t dataOffset = 0;
  // A Mac OS member stored as MacBinary: only its data fork is extracted.
  std::optional<DataFork> macDataFork;
  std::uint64_t endOffset() const { return dataOffset + header.packedSize; }
  // The size a listing shows: the data fork's for a MacBinary member.
  std::uint64_t listedSize() const {
    return macDataFork ? macDataFork->length : header.originalSize;
  }
};

struct ArchiveIndex {
  bool ok = false;
  std::string message;  // why it is not an archive, or is damaged
  std::vector<ArchiveMember> members;
  std::uint64_t start = 0;  // offset of the first header
  std::uint64_t end = 0;    // offset of the end mark (or of the file's end)
};

// Reads every header from `start` up to the end mark or `limit` (0: the
// file's size). A file with no member and no end mark is not an archive.
ArchiveIndex ReadArchiveIndex(int fd, const std::string& name, std::uint64_t start = 0,
                              std::uint64_t limit = 0);

// As ReadArchiveIndex, and when the file is not an archive from its start,
// the archive a self-extracting program carries after its stub.
ArchiveIndex ReadArchiveOrSfxIndex(int fd, const std::string& name);

struct MemberResult {
  Status status = Status::kOk;
  std::string message;
};

// Decodes one member's data into out (only the data fork of a MacBinary
// member) and checks its length and CRC.
MemberResult DecodeMember(int fd, const std::string& archiveName, const ArchiveMember& m,
                          Sink& out);

}  // namespace lzh
