// bench_tar: loads tar32.dll and runs one command line through its Tar
// entry, so run.sh can time the library the way the back end calls it.
// usage: bench_tar LIBRARY COMMAND-LINE   (exit status 0 when the result is 0)
#include <dlfcn.h>

#include <cstdio>
#include <vector>

#include "archivers/common/ArchiverApi.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_tar LIBRARY COMMAND-LINE\n");
    return 2;
  }
  void* lib = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  auto tar = lib ? reinterpret_cast<ArcCommandProc>(dlsym(lib, "Tar")) : nullptr;
  if (tar == nullptr) {
    std::fprintf(stderr, "bench_tar: cannot load %s: %s\n", argv[1], dlerror());
    return 2;
  }
  std::vector<char> output(1 << 16);
  const std::int32_t result =
      tar(nullptr, argv[2], output.data(), static_cast<std::uint32_t>(output.size()));
  if (result != 0) std::fprintf(stderr, "bench_tar: result 0x%x\n%s", result, output.data());
  return result == 0 ? 0 : 1;
}
