// A RAR archive (or a volume set) read member by member through libarchive's
// RAR and RAR5 readers, with what the member's own header adds. Reading is
// forward only: Next, then optionally ReadData or Skip, then Next again.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Rar5HeaderMend.h"
#include "RarHeaderPeek.h"
#include "common/SafeExtractor.h"

struct archive;

namespace unrar {

struct RarMember {
  std::string name;  // UTF-8, '/' between folders; "" when the archive gave none
  arc::EntryKind kind = arc::EntryKind::file;
  std::uint64_t size = 0;
  bool sizeKnown = true;
  std::int64_t mtime = 0;  // seconds since 1970, UTC
  std::uint32_t mode = 0;  // Unix permission bits libarchive gives
  std::string linkTarget;
  std::optional<RarHeaderFacts> facts;  // when the header could be read back
  bool encrypted = false;               // libarchive or the header says so
  std::string formatName;               // "RAR" or "RAR5"

  // Why this member cannot be decoded here, or "" when it can.
  std::string Unreadable() const;
};

enum class NextResult { member, end, failed };

// Makes the calling thread's character type UTF-8 for its lifetime, so
// libarchive can give member names in UTF-8 whatever the process locale.
class Utf8Locale {
 public:
  Utf8Locale();
  ~Utf8Locale();
  Utf8Locale(const Utf8Locale&) = delete;
  Utf8Locale& operator=(const Utf8Locale&) = delete;

 private:
  void* utf8_ = nullptr;
  void* previous_ = nullptr;
};

class RarArchive {
 public:
  // Opens the file and the volumes that follow it. Throws ArchiveError when
  // it is missing or not a RAR archive.
  explicit RarArchive(const std::string& path);
  ~RarArchive();
  RarArchive(const RarArchive&) = delete;
  RarArchive& operator=(const RarArchive&) = delete;

  // The next member into m; failed with Error() when the archive cannot be
  // read on (damage, encrypted headers, a solid RAR 1.5-4 member, a set
  // opened at a later volume). After ReadData failed, an archive that is not
  // solid is read on from the next member's header; else end.
  NextResult Next(RarMember& m);
  // Writes the current member's data to fd (or nowhere when fd < 0), calling
  // progress with each block's size; false stops. Checks that exactly the
  // announced size arrives. Returns "" on success, else the reason.
  std::string ReadData(int fd, const std::function<bool(std::uint64_t)>& progress, bool& cancelled);
  // Skips the current member's data; false (with Error()) when the archive
  // cannot go on.
  bool Skip();
  // The last ReadData failed on a member this build's decoder is known to
  // get wrong, so the failure says nothing about the archive.
  bool Undecodable() const { return undecodable_; }
  // Bytes of the archive consumed by the current member's data so far.
  std::uint64_t PackedSoFar() const;

  const std::string& Error() const { return error_; }
  // The failure of Next is something this library cannot do (encryption, a
  // solid RAR 1.5-4 member), not damage.
  bool Unsupported() const { return unsupported_; }
  const std::vector<std::string>& Volumes() const { return volumes_; }

 private:
  std::string LibraryError() const;
  archive* OpenReader(std::string& why);
  bool Resume();
  std::string KnownDecoderFault(const std::string& why) const;

  Utf8Locale locale_;  // first member: set before the reader opens
  archive* a_ = nullptr;
  std::vector<std::string> volumes_;
  std::vector<RarHeaderFacts> headers_;  // every member's header, in order
  std::size_t index_ = 0;                // the next member's place in headers_
  std::int64_t dataStart_ = 0;
  std::uint64_t current_ = 0;  // the current member's announced size
  bool currentIsFile_ = false;
  bool sizeKnown_ = true;
  std::optional<std::uint32_t> expectedCrc_;
  std::optional<RarHeaderFacts> currentFacts_;
  std::string error_;
  bool failed_ = false;
  bool unsupported_ = false;
  bool undecodable_ = false;
  bool middleOfSet_ = false;  // the first volume given is not the set's first
  bool mendHeaders_ = false;  // a RAR 5 header holds bytes the reader does not skip
  std::vector<std::unique_ptr<Rar5HeaderMend>> menders_;  // one a volume, when mending
};

class ArchiveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace unrar
