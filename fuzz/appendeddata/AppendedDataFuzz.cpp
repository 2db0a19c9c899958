// appended_data_fuzz: any bytes as a program file; whatever end of image is
// found must lie inside the file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/AppendedData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const int fd = memfd_create("appended_data_fuzz", 0);
  if (fd < 0) std::abort();
  if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
    std::abort();
  const auto found = arc::FindAppendedData(fd);
  if (found && (found->fileSize != size || found->offset > found->fileSize)) std::abort();
  return 0;
}
