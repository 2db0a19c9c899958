// The modification time of a member, from whichever stamp its header has.
#pragma once

#include <cstdint>

#include "EntryHeader.h"

namespace lzh {

// Seconds since 1970 (UTC): the Unix stamp, else the MS-DOS stamp read as local time.
std::int64_t MemberTime(const EntryHeader& h);
// MS-DOS date and time (local) of the member, for listings.
void MemberDosStamp(const EntryHeader& h, std::uint16_t& dosDate, std::uint16_t& dosTime);

}  // namespace lzh
