// Appends one file to an archive being written: a level 2 header, then the
// compressed data, or the plain data (-lh0-) when compressing would not make
// it smaller.
#pragma once

#include <cstdint>
#include <string>

#include "FileGatherer.h"

namespace unlha {

struct PackedFile {
  std::string method;
  std::uint64_t originalSize = 0;
  std::uint64_t packedSize = 0;
};

// Writes at outFd's current position. Throws CommandFailure: kCannotRead when
// the source cannot be read (vanished, unreadable, changed size class),
// kCannotWrite when the archive cannot be written.
PackedFile PackFile(int outFd, const std::string& outName, const SourceFile& file,
                    const std::string& method, int effort, bool cp932Names);

}  // namespace unlha
