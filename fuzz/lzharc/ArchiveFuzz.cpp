// lzharc_archive_fuzz: a whole archive through the reader as the library
// sees it: headers one after another (extended-header chains, UTF-16 names),
// the MacBinary probe of Mac OS members, then each member decoded.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "lzharc/ArchiveReader.h"
#include "lzharc/EntryName.h"

namespace {

class NullSink : public lzh::Sink {
 public:
  void write(const std::uint8_t*, std::size_t n) override { length += n; }
  std::uint64_t length = 0;
};

// Members claiming more are only listed: decoding them proves nothing more
// and would slow the run.
constexpr std::uint64_t kLargestDecoded = 1u << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const int fd = ::memfd_create("lzharc_archive_fuzz", 0);
  if (fd < 0) std::abort();
  if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
    std::abort();
  const lzh::ArchiveIndex index = lzh::ReadArchiveIndex(fd, "fuzz.lzh");
  for (const lzh::ArchiveMember& m : index.members) {
    (void)lzh::PrintableName(m.path.Joined());
    if (m.macDataFork && m.macDataFork->offset + m.macDataFork->length > m.header.originalSize)
      std::abort();  // a fork outside the member
    if (m.header.isDirectory() || m.header.originalSize > kLargestDecoded) continue;
    NullSink out;
    const lzh::MemberResult r = lzh::DecodeMember(fd, "fuzz.lzh", m, out);
    if (r.status == lzh::Status::kOk && out.length != m.listedSize()) std::abort();
  }
  return 0;
}
