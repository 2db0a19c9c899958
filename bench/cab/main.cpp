// bench_cab: runs one command line through CAB32.DLL and prints its wall
// time in seconds, for bench/cab/run.sh.
//   bench_cab LIBRARY COMMAND-LINE
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "common/ArchiverApi.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_cab LIBRARY COMMAND-LINE\n");
    return 2;
  }
  void* lib = ::dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  auto cab = lib ? reinterpret_cast<ArcCommandProc>(::dlsym(lib, "Cab")) : nullptr;
  if (cab == nullptr) {
    std::fprintf(stderr, "cannot load Cab from %s: %s\n", argv[1], ::dlerror());
    return 2;
  }
  std::vector<char> output(1 << 16);
  const auto start = std::chrono::steady_clock::now();
  const std::int32_t result = cab(nullptr, argv[2], output.data(), output.size());
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  if (result != 0) {
    std::fprintf(stderr, "result %#x\n%s", static_cast<unsigned>(result), output.data());
    return 1;
  }
  std::printf("%.3f\n", took.count());
  return 0;
}
