// zip_archive_fuzz: the listing entries and the test command of the ZIP
// libraries on any bytes, written to a scratch file as an archive would be.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/ListingEntries.h"
#include "zipcore/Commands.h"
#include "zipcore/ZipListing.h"

namespace {

const std::string& ScratchFile() {
  static const std::string path = [] {
    char name[] = "/tmp/zip-fuzz-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) std::abort();
    ::close(fd);
    return std::string(name);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = ScratchFile();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);

  const ArcHandle h = zipcore::ListingOpen(path.c_str());
  if (h != 0) {
    TArchiveEntryInfo info;
    auto& listings = zipcore::Listings();
    for (int r = arc::FindFirstEntry(listings, h, "*", &info), n = 0; r == 0 && n < 100000;
         r = arc::FindNextEntry(listings, h, &info), ++n) {
      if (info.FileName[sizeof info.FileName - 1] != '\0') std::abort();
    }
    if (!listings.Remove(h)) std::abort();
  }
  char out[256];
  const std::string line = "-t \"" + path + "\"";
  zipcore::RunCommandLine(line.c_str(), out, sizeof out, true);
  return 0;
}
