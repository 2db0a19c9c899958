// libarchive reads a gzip stream only as far as the tar inside needs and
// does not compare the stream's CRC-32, so a damaged .tgz could extract
// wrong data without a word. This reads the whole stream once with zlib,
// which checks every member's CRC-32 and length.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tararc {

// nullopt when every gzip member from offset on is whole and its CRC-32 and
// length are right (bytes after the last member that start no new member
// are ignored, as gzip does); else why not.
std::optional<std::string> CheckGzipStream(int fd, std::uint64_t offset);

}  // namespace tararc
