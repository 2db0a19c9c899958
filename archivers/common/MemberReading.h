// The library side of the optional <Prefix>ReadMembers entry: the entry
// registers a read walk for the calling thread and runs the library's test
// command, which hands each member's decoded data to the walk instead of
// discarding it. A test run without a walk sees no difference. A walk the
// caller stopped makes the command's progress answer "cancel", so every
// library stops where it would stop for a cancel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "common/ArchiverApi.h"
#include "common/Report.h"

namespace arc {

class MemberReading {
 public:
  // Registers itself for the calling thread until destroyed.
  MemberReading(ArcMemberDataCallback callback, void* user);
  ~MemberReading();
  MemberReading(const MemberReading&) = delete;
  MemberReading& operator=(const MemberReading&) = delete;

  // The walk of the calling thread, or null.
  static MemberReading* Current();

  void Begin(const std::string& name);
  // Hands data on in chunks of at most kArcReadChunk bytes; false once the
  // caller stopped the walk.
  bool Data(const void* data, std::size_t n);
  // The member's end with its own result; ends nothing when none began.
  void End(std::int32_t result);
  bool Stopped() const { return stopped_; }

 private:
  ArcMemberDataCallback callback_;
  void* user_;
  MemberReading* outer_;
  std::string name_;
  bool inMember_ = false;
  bool skipping_ = false;
  bool stopped_ = false;
};

// What a library's test command calls; each does nothing without a walk.
void ReadingBegin(const std::string& name);
bool ReadingData(const void* data, std::size_t n);
void ReadingEnd(std::int32_t result);
bool ReadingStopped();

// The test command line a read walk runs: command (the library's own
// spelling, "t" or "-t"), the archive (a name beginning with '-' or '@'
// taken below the current folder) and the mask, each in quotes; nullopt
// when a name holds a quote, which no command line can carry.
std::optional<std::string> ReadingCommandLine(const std::string& command, const char* archiveName,
                                              const char* wildName);

// The body of every library's <Prefix>ReadMembers entry: runs the test
// command line through the library's command entry under a read walk.
std::int32_t ReadMembersEntry(const char* archiveName, const char* wildName,
                              ArcMemberDataCallback callback, void* user, char* output,
                              std::uint32_t size, const char* command, ArcCommandProc entry);

}  // namespace arc

// ARC_READ_MEMBERS_ENTRY(Unlha, "t") exports UnlhaReadMembers over the
// command entry Unlha and its test command "t".
#define ARC_READ_MEMBERS_ENTRY(Prefix, command)                                                  \
  ARC_EXPORT std::int32_t Prefix##ReadMembers(const char* archiveName, const char* wildName,     \
                                              ArcMemberDataCallback callback, void* user,        \
                                              char* output, std::uint32_t size) {                \
    return arc::ReadMembersEntry(archiveName, wildName, callback, user, output, size, (command), \
                                 &Prefix);                                                       \
  }
