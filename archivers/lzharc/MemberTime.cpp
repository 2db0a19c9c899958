#include "MemberTime.h"

#include "platform/DateTime.h"

namespace lzh {

std::int64_t MemberTime(const EntryHeader& h) {
  if (h.unixTime) return *h.unixTime;
  if (h.dosStamp)
    return platform::DosToUnixTime(static_cast<std::uint16_t>(*h.dosStamp >> 16),
                                   static_cast<std::uint16_t>(*h.dosStamp & 0xFFFF));
  return 0;
}

void MemberDosStamp(const EntryHeader& h, std::uint16_t& dosDate, std::uint16_t& dosTime) {
  if (!h.unixTime && h.dosStamp) {
    dosDate = static_cast<std::uint16_t>(*h.dosStamp >> 16);
    dosTime = static_cast<std::uint16_t>(*h.dosStamp & 0xFFFF);
    return;
  }
  platform::UnixTimeToDos(MemberTime(h), dosDate, dosTime);
}

}  // namespace lzh
