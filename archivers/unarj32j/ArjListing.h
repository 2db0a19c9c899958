// The state behind one listing handle: the members of an opened archive and
// where FindNext goes on.
#pragma once

#include <memory>
#include <vector>

#include "arj/ArjArchive.h"
#include "common/ArchiverApi.h"
#include "common/MemberListing.h"

namespace unarj {

using ArjListing = arc::MemberListing<arj::Member>;

// Masks match the member's stored path.
std::unique_ptr<ArjListing> MakeListing(std::vector<arj::Member> members);

// Fills the whole record from a member; the name uses '/' between folders
// and is cut to 512 bytes (never inside a UTF-8 character).
void FillEntryInfo(const arj::Member& m, TArchiveEntryInfo& info);

}  // namespace unarj
