// The state behind one listing handle: the members of an opened archive and
// where FindNext goes on.
#pragma once

#include <memory>
#include <vector>

#include "common/ArchiverApi.h"
#include "common/MemberListing.h"
#include "lzharc/ArchiveReader.h"

namespace unlha {

using ArchiveListing = arc::MemberListing<lzh::ArchiveMember>;

// Masks match the member's stored path.
std::unique_ptr<ArchiveListing> MakeListing(std::vector<lzh::ArchiveMember> members);

// Fills the whole record from a member. Sizes above 4 GiB are clamped to
// 0xFFFFFFFF; the name uses '/' between folders, cut to 512 bytes.
void FillEntryInfo(const lzh::ArchiveMember& m, TArchiveEntryInfo& info);

}  // namespace unlha
