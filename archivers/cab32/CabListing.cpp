#include "CabListing.h"

#include <algorithm>
#include <cstring>

#include "common/EntryMasks.h"

namespace cab {

// A cabinet compresses folders, not files: an entry's compressed size is
// its share of the whole cabinet by length.
CabListing::CabListing(const Cabinet& cabinet) {
  const std::uint64_t total = cabinet.TotalLength();
  for (const auto& e : cabinet.Entries()) {
    ListedEntry l{e, 0};
    if (MSCABD_COMP_METHOD(e.compression) == MSCAB_COMP_NONE) {
      l.compressedShare = e.length;
    } else if (total > 0) {
      const unsigned __int128 share =
          static_cast<unsigned __int128>(cabinet.CabinetBytes()) * e.length / total;
      l.compressedShare = share > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(share);
    }
    entries_.push_back(std::move(l));
  }
}

bool CabListing::FindFirst(const char* wildName, TArchiveEntryInfo& info) {
  wild_ = wildName ? wildName : "";
  return FindFrom(0, info);
}

bool CabListing::FindNext(TArchiveEntryInfo& info) { return FindFrom(next_, info); }

bool CabListing::FindFrom(std::size_t start, TArchiveEntryInfo& info) {
  for (std::size_t i = start; i < entries_.size(); ++i) {
    if (!arc::MatchesAnyMask(entries_[i].entry.name, {wild_})) continue;
    FillEntryInfo(entries_[i], info);
    next_ = i + 1;
    return true;
  }
  next_ = entries_.size();
  return false;
}

void FillEntryInfo(const ListedEntry& l, TArchiveEntryInfo& info) {
  std::memset(&info, 0, sizeof info);
  const CabEntry& e = l.entry;
  info.OriginalSize = e.length;
  info.CompressedSize = l.compressedShare;
  info.Ratio =
      e.length == 0
          ? 0
          : static_cast<std::uint16_t>(std::min<std::uint64_t>(
                (std::uint64_t{l.compressedShare} * 1000 + e.length / 2) / e.length, 0xFFFF));
  info.DosDate = e.dosDate;
  info.DosTime = e.dosTime;
  // Cut to 512 bytes, never inside a UTF-8 character.
  std::size_t n = std::min(e.name.size(), sizeof info.FileName - 1);
  if (n < e.name.size())
    while (n > 0 && (static_cast<unsigned char>(e.name[n]) & 0xC0) == 0x80) --n;
  std::memcpy(info.FileName, e.name.data(), n);
  info.Attribute[0] = (e.attributes & MSCAB_ATTRIB_RDONLY) ? 'r' : '-';
  info.Attribute[1] = (e.attributes & MSCAB_ATTRIB_ARCH) ? 'a' : '-';
  info.Attribute[2] = (e.attributes & MSCAB_ATTRIB_SYSTEM) ? 's' : '-';
  info.Attribute[3] = (e.attributes & MSCAB_ATTRIB_HIDDEN) ? 'h' : '-';
  std::strncpy(info.Method, MethodName(e.compression).c_str(), sizeof info.Method - 1);
}

}  // namespace cab
