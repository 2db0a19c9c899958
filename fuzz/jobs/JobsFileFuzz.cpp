// Fuzzes the jobs file reader (the input as the file's bytes) and the
// splitting of an after-run command into words (the input as the text).
// Either may raise its error; neither may crash or read out of bounds.
#include <stdio.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/cli/JobsFile.h"
#include "app/run/AfterCommand.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = [] {
    std::string name = "/tmp/pelsok-jobs-fuzz-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd >= 0) ::close(fd);
    return name;
  }();
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  try {
    pelsok::app::ReadJobsFile(path);
  } catch (const std::exception&) {
  }
  try {
    pelsok::app::SplitCommandWords(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const std::exception&) {
  }
  return 0;
}
