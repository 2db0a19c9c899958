// The state of one listing handle: the archive's members, read once when it
// is opened, and the position of the find entries.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/ArchiverApi.h"
#include "common/MemberListing.h"
#include "tararc/TarReader.h"

namespace tar32 {

using TarListing = arc::MemberListing<tararc::Member>;

// The listing of a tar archive (masks match the member's name). Throws
// tararc::ReadError when the file is no tar archive we read whole.
std::unique_ptr<TarListing> OpenTarListing(const std::string& archiveName);

// Fills the whole record (unused bytes zero) for one member.
void FillEntryInfo(const tararc::Member& m, tararc::Compression c, TArchiveEntryInfo& info);

}  // namespace tar32
