// A cabinet opened for reading through libmspack: its files (names decoded,
// dates and attributes read) and the extraction of one file to a
// descriptor. A cabinet set is followed to its later parts when they lie in
// the same folder; a cabinet inside a self-extracting program is found
// after the program's image.
#pragma once

#include <mspack.h>

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "MspackFiles.h"

namespace cab {

struct CabEntry {
  std::string name;  // UTF-8, folders separated by '/'
  std::uint32_t length = 0;
  std::uint32_t attributes = 0;  // MSCAB_ATTRIB_* bits
  int compression = 0;           // the folder's comp_type
  std::uint16_t dosDate = 0;
  std::uint16_t dosTime = 0;
  std::int64_t mtime = 0;  // the DOS stamp as local time, seconds since 1970
  const mscabd_file* file = nullptr;
};

struct ExtractResult {
  bool ok = true;
  bool damaged = false;  // the cabinet's data is bad; else the output could not be written
  std::string message;
};

class Cabinet {
 public:
  // Throws std::runtime_error with the reason when the file is missing or
  // not a readable cabinet.
  explicit Cabinet(const std::string& path);
  // The cabinet starts at offset inside the file (a self-extracting program).
  Cabinet(const std::string& path, std::uint64_t offset);
  ~Cabinet();
  Cabinet(const Cabinet&) = delete;
  Cabinet& operator=(const Cabinet&) = delete;

  const std::vector<CabEntry>& Entries() const { return entries_; }
  // Bytes of the cabinet (or of every part of a set).
  std::uint64_t CabinetBytes() const { return cabinetBytes_; }
  std::uint64_t TotalLength() const { return totalLength_; }
  std::size_t Parts() const { return parts_.size(); }
  // Offset of the first cabinet inside its file.
  std::uint64_t Offset() const { return offset_; }

  // Writes the entry's whole data to fd.
  ExtractResult Extract(const CabEntry& entry, int fd);
  // Decodes the entry's whole data into the calling thread's read walk, or
  // nowhere when none runs.
  ExtractResult Decode(const CabEntry& entry);

 private:
  void Open(const std::string& path);
  void FollowSet(const std::string& path);
  std::string MissingPartOf(const CabEntry& entry) const;

  // libmspack keeps the name pointers it was given: the names live here.
  std::list<std::string> names_;
  MspackFiles files_;
  mscab_decompressor* decompressor_ = nullptr;
  std::vector<mscabd_cabinet*> parts_;  // parts_[0] is the one opened
  std::vector<CabEntry> entries_;
  std::string missingNext_;  // the next part's name, as the set gives it, when it is not here
  std::uint64_t offset_ = 0;
  std::uint64_t cabinetBytes_ = 0;
  std::uint64_t totalLength_ = 0;
};

// "MSZIP", "LZX:21", "Quantum", "Stored".
std::string MethodName(int compression);

// The name as stored, decoded: UTF-8 when the attribute says so (invalid
// bytes become '?'), else cp932 (bytes that are not cp932 are kept when
// they are UTF-8, else shown as '?'); '\' becomes '/'.
std::string DecodeEntryName(const std::string& raw, bool utf8Flag);

}  // namespace cab

namespace cab {

// Opens path as a cabinet, or as a self-extracting program with a cabinet
// appended; throws std::runtime_error with the first reason.
std::unique_ptr<Cabinet> OpenCabinetOrProgram(const std::string& path);

}  // namespace cab
