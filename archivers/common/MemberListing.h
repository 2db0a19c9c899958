// The state behind one listing handle of a library that reads its
// archive's members once at open time: the members, the masks of the last
// FindFirst and where FindNext goes on; and the pieces every library's
// record filling shares.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/ArchiverApi.h"
#include "common/EntryMasks.h"

namespace arc {

// Sizes above 4 GiB are listed as 0xFFFFFFFF.
inline std::uint32_t Clamp32(std::uint64_t v) {
  return v > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<std::uint32_t>(v);
}

// Copies text into a record field of capacity bytes: cut to capacity - 1
// bytes, never inside a UTF-8 character, NUL-terminated.
inline void CopyRecordText(char* dest, std::size_t capacity, const std::string& text) {
  std::size_t n = std::min(text.size(), capacity - 1);
  if (n < text.size())
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(dest, text.data(), n);
  dest[n] = '\0';
}

// Packed size per mille of the original, rounded; 0 for an empty original,
// at most 65535.
inline std::uint16_t RatioPerMille(std::uint64_t packed, std::uint64_t original) {
  if (original == 0) return 0;
  if (packed > (~0ull) / 1000) return 65535;
  return static_cast<std::uint16_t>(
      std::min<std::uint64_t>((packed * 1000 + original / 2) / original, 65535));
}

template <class Member>
class MemberListing {
 public:
  // name: the stored name the masks are matched against; fill: fills the
  // whole record. wholePath as in MatchesAnyMask.
  using NameOf = std::function<std::string(const Member&)>;
  using Fill = std::function<void(const Member&, TArchiveEntryInfo&)>;

  MemberListing(std::vector<Member> members, NameOf name, Fill fill, bool wholePath = false)
      : members_(std::move(members)),
        name_(std::move(name)),
        fill_(std::move(fill)),
        wholePath_(wholePath) {}

  // Starts over with a wildcard (null or empty: every member).
  bool FindFirst(const char* wildName, TArchiveEntryInfo& info) {
    masks_.clear();
    if (wildName != nullptr && *wildName != '\0') masks_.push_back(wildName);
    next_ = 0;
    last_ = nullptr;
    return FindNext(info);
  }

  bool FindNext(TArchiveEntryInfo& info) {
    while (next_ < members_.size()) {
      const Member& m = members_[next_++];
      if (MatchesAnyMask(name_(m), masks_, wholePath_)) {
        fill_(m, info);
        last_ = &m;
        return true;
      }
    }
    return false;
  }

  // The member the last find filled, or null.
  const Member* Last() const { return last_; }

 private:
  std::vector<Member> members_;
  NameOf name_;
  Fill fill_;
  bool wholePath_;
  std::vector<std::string> masks_;
  std::size_t next_ = 0;
  const Member* last_ = nullptr;
};

}  // namespace arc
