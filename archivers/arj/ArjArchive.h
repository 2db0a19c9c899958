// An ARJ archive's index: the main header and every member's header, name
// and data position, read once. The archive may follow a self-extracting
// program (a file that begins with "MZ"): its main header is then searched
// for in the first MiB.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ArjHeader.h"
#include "lzharc/EntryName.h"

namespace arj {

// One volume's share of a member split across volumes.
struct Part {
  std::size_t volume = 0;  // index into Index::volumes
  Header header;           // this part's sizes and CRC-32
  std::uint64_t dataOffset = 0;
};

struct Member {
  Header header;        // of a joined member: the whole member's sizes
  lzh::EntryPath path;  // the stored name as UTF-8 parts
  std::uint64_t headerOffset = 0;
  std::uint64_t dataOffset = 0;
  std::size_t volume = 0;     // the volume holding the header, in a set
  std::vector<Part> parts;    // of a member joined from several volumes, in order; else empty
  std::string missingVolume;  // the volume its rest should be in, when that is not there

  // Seconds since 1970 (UTC) of the member's time: a Unix host stores them,
  // other hosts an MS-DOS local date and time.
  std::int64_t Mtime() const;
  // The MS-DOS date and time (local) of the same moment.
  void DosStamp(std::uint16_t& date, std::uint16_t& time) const;
  // Unix permission bits when a Unix host stored them.
  bool HasUnixMode() const { return header.hostOs == kHostUnix; }
};

struct Index {
  bool ok = false;
  std::string message;  // why not
  Header main;
  bool multiVolume = false;  // the main header says another volume follows
  std::uint64_t start = 0;   // offset of the main header
  std::vector<Member> members;
  std::vector<std::string> volumes;  // the files of a set read with ReadVolumeSet
};

// Reads the index of the archive open as fd. Never throws for damaged data;
// I/O errors give ok = false as well.
Index ReadIndex(int fd, const std::string& name);

}  // namespace arj
