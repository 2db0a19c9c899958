// The members of an archive as the find entries hand them out, and the
// record filled from one member.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "RarArchive.h"
#include "common/ArchiverApi.h"
#include "common/MemberListing.h"

namespace unrar {

// One member as read for listing: what libarchive and its header say, and
// the bytes its data takes in the archive.
struct ListedMember {
  RarMember member;
  std::uint64_t packed = 0;
};

// Flags bits of the record.
constexpr std::uint32_t kFlagEncrypted = 0x01;
constexpr std::uint32_t kFlagSolid = 0x02;
constexpr std::uint32_t kFlagSplit = 0x04;       // the data runs over more than one volume
constexpr std::uint32_t kFlagUnreadable = 0x08;  // the library cannot extract it

using RarListing = arc::MemberListing<ListedMember>;

// Masks match the member's name.
std::unique_ptr<RarListing> MakeListing(std::vector<ListedMember> members);

struct MemberList {
  std::vector<ListedMember> members;
  std::string stopped;  // why reading stopped before the end, or ""
};

// Reads every member's header, skipping the data. Stops at a member the
// reader cannot get past, keeping those before it; throws ArchiveError when
// the file is no RAR archive. firstOnly: stop after the first member.
MemberList ReadMembers(const std::string& path, bool firstOnly);

// Fills the whole record (unused bytes zero); the name is cut to 512 bytes.
void FillEntryInfo(const ListedMember& m, TArchiveEntryInfo& info);

// The stored name as listed: folders end in '/'.
std::string ListedName(const RarMember& m);
// "RAR:m3" or "RAR5:m3".
std::string MethodText(const RarMember& m);
// MS-DOS date and time in local time.
void DosStamp(std::int64_t mtime, std::uint16_t& date, std::uint16_t& time);

}  // namespace unrar
