// unrar_archive_fuzz: any bytes as a RAR archive, through everything the
// library does with one short of writing files: the header peek, the
// listing records, and decoding every member as -t does.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "RarArchive.h"
#include "RarHeaderPeek.h"
#include "RarListing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)unrar::PeekFileHeader(bytes);
  // The library reads archives by name: a memory file has one without a
  // volume pattern, so no neighbour is ever taken for a volume.
  const int fd = ::memfd_create("fuzz", MFD_CLOEXEC);
  if (fd < 0) std::abort();
  if (::write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  try {
    unrar::MemberList list = unrar::ReadMembers(path, false);
    for (const auto& m : list.members) {
      TArchiveEntryInfo info;
      unrar::FillEntryInfo(m, info);
      if (info.FileName[sizeof info.FileName - 1] != '\0') std::abort();
    }
    unrar::RarArchive archive(path);
    unrar::RarMember m;
    for (int n = 0; n < 10000 && archive.Next(m) == unrar::NextResult::member; ++n) {
      bool cancelled = false;
      if (m.Unreadable().empty()) (void)archive.ReadData(-1, nullptr, cancelled);
    }
  } catch (const unrar::ArchiveError&) {
  }
  ::close(fd);
  return 0;
}
