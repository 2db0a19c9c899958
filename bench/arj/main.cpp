// bench_arj: runs one command line through UNARJ32J.DLL's "Unarj" entry and
// prints the result code and the wall time, for bench/arj/run.sh.
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "common/ArchiverApi.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_arj <path of UNARJ32J.DLL> <command line>\n");
    return 2;
  }
  void* lib = ::dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    std::fprintf(stderr, "bench_arj: %s\n", ::dlerror());
    return 2;
  }
  auto run = reinterpret_cast<ArcCommandProc>(::dlsym(lib, "Unarj"));
  if (!run) {
    std::fprintf(stderr, "bench_arj: no entry Unarj\n");
    return 2;
  }
  std::vector<char> out(1 << 16);
  const auto t0 = std::chrono::steady_clock::now();
  const std::int32_t result =
      run(nullptr, argv[2], out.data(), static_cast<std::uint32_t>(out.size()));
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - t0;
  if (result != 0) std::fprintf(stderr, "%s", out.data());
  std::printf("%d %.3f\n", result, took.count());
  return result == 0 ? 0 : 1;
}
