// Where the tar data of an archive file starts: 0, or for a self-extracting
// program (kmtarsef.exe followed by the archive) the end of its ELF image,
// so the library lists, extracts and recognises those programs too.
#pragma once

#include <cstdint>

#include "common/AppendedData.h"

namespace tar32 {

inline std::uint64_t ArchiveStart(int fd) {
  const auto appended = arc::FindAppendedData(fd);
  return appended && !appended->Empty() ? appended->offset : 0;
}

}  // namespace tar32
