// bench_zip: runs one command line through a ZIP library we build, for
// bench/zip/run.sh, and prints "<result> <seconds>".
//   bench_zip LIBRARY ENTRY COMMAND-LINE
// e.g. bench_zip bin/ZIP32J.DLL Zip ' -D  "a.zip" "logs/DR10*.log" '
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "common/ArchiverApi.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_zip LIBRARY ENTRY COMMAND-LINE\n");
    return 2;
  }
  void* lib = ::dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (lib == nullptr) {
    std::fprintf(stderr, "bench_zip: %s\n", ::dlerror());
    return 2;
  }
  auto command = reinterpret_cast<ArcCommandProc>(::dlsym(lib, argv[2]));
  if (command == nullptr) {
    std::fprintf(stderr, "bench_zip: no entry %s\n", argv[2]);
    return 2;
  }
  std::vector<char> output(1 << 16);
  const auto t0 = std::chrono::steady_clock::now();
  const std::int32_t result =
      command(nullptr, argv[3], output.data(), static_cast<std::uint32_t>(output.size()));
  const std::chrono::duration<double> t = std::chrono::steady_clock::now() - t0;
  std::printf("%d %.4f\n", result, t.count());
  if (result != 0) std::fprintf(stderr, "%s", output.data());
  return result == 0 ? 0 : 1;
}
