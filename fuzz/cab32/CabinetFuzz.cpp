// cab32_cabinet_fuzz: the cabinet reader on any bytes, as the library's
// listing and -x see them: open (headers, folders, file records, a set's
// next part), decode every name, fill the listing record, and decompress
// the small entries into /dev/null; plan the test's decoding of them all.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "CabListing.h"
#include "Cabinet.h"
#include "DecodingPlan.h"

namespace {

struct Scratch {
  std::string path;
  int fd = -1;
  int sink = -1;
  Scratch() {
    char name[] = "/tmp/cab32-fuzz-XXXXXX";
    fd = ::mkstemp(name);
    path = name;
    sink = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (fd < 0 || sink < 0) std::abort();
  }
  ~Scratch() { ::unlink(path.c_str()); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Scratch scratch;
  if (::ftruncate(scratch.fd, 0) != 0 ||
      ::pwrite(scratch.fd, data, size, 0) != static_cast<ssize_t>(size))
    std::abort();
  try {
    cab::Cabinet cabinet(scratch.path);
    cab::CabListing listing(cabinet);
    TArchiveEntryInfo info;
    for (bool more = listing.FindFirst("*", info); more; more = listing.FindNext(info))
      if (info.FileName[sizeof info.FileName - 1] != '\0') std::abort();
    std::vector<const cab::CabEntry*> all;
    for (const auto& e : cabinet.Entries()) all.push_back(&e);
    const cab::DecodingPlan plan = cab::PlanDecoding(cabinet.Entries(), all);
    if (plan.order.size() != all.size()) std::abort();
    std::uint64_t budget = 4u << 20;
    for (const auto& e : cabinet.Entries()) {
      if (e.length > budget) continue;
      budget -= e.length;
      (void)cabinet.Extract(e, scratch.sink);
    }
  } catch (const std::runtime_error&) {
  }
  return 0;
}
