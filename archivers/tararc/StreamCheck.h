// libarchive stops reading an xz or zstd stream where the tar inside ends,
// so a stream cut after the tar's end blocks, or one whose index, footer or
// frame checksum is wrong, would read as whole. These read the whole stream
// once with liblzma and libzstd, which check every block and frame.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tararc {

// nullopt when every xz stream from offset on is whole (each block's check,
// the index and the footer agree; stream padding between streams allowed);
// else why not.
std::optional<std::string> CheckXzStream(int fd, std::uint64_t offset);

// nullopt when the zstd frames from offset on are whole to the end of the
// file (a frame's content checksum, when it has one, agrees; skippable
// frames are allowed); else why not.
std::optional<std::string> CheckZstdStream(int fd, std::uint64_t offset);

}  // namespace tararc
