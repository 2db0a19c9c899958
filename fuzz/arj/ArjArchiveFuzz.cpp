// arj_archive_fuzz: the archive reader (main header, member headers,
// extended headers, names) on arbitrary bytes, then every member small
// enough decoded and checked.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "arj/ArjArchive.h"
#include "arj/ArjDecoder.h"
#include "lzharc/FileStreams.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int fd = ::memfd_create("arj", MFD_CLOEXEC);
  if (fd < 0) std::abort();
  if (size > 0 && ::write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
  arj::Index index = arj::ReadIndex(fd, "fuzz.arj");
  if (index.ok) {
    for (const arj::Member& m : index.members) {
      if (m.dataOffset + m.header.packedSize > size) std::abort();  // the reader checked this
      (void)m.path.Joined();
      if (!m.header.HasData() || m.header.originalSize > (1u << 20)) continue;
      lzh::FileRangeSource in(fd, m.dataOffset, m.header.packedSize, "fuzz.arj");
      lzh::NullSink out;
      (void)arj::DecodeData(m.header, in, out);
    }
  }
  ::close(fd);
  return 0;
}
