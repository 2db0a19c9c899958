// bench_unlha_pack: times UNLHA32.DLL's a command on every file of a folder, for bench/lzh/run.sh.
//   bench_unlha_pack [--repeat N] LIBRARY SWITCHES ARCHIVE FOLDER
//   bench_unlha_pack [--repeat N] LIBRARY --test ARCHIVE FOLDER   (times t on ARCHIVE instead)
// SWITCHES are passed as they are (e.g. "-jt1 -jm5"). The archive is removed before each run.
// Prints one line "<bytes in> <bytes out> <seconds> <cpu seconds>": the best wall time of N runs
// (default 1) and the CPU time, every thread's, of that run.
#include <dlfcn.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/ArchiverApi.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  int repeat = 1;
  int a = 1;
  if (argc > 2 && std::strcmp(argv[1], "--repeat") == 0) {
    repeat = std::max(1, std::atoi(argv[2]));
    a = 3;
  }
  if (argc - a != 4) {
    std::fprintf(stderr, "usage: bench_unlha_pack [--repeat N] LIBRARY SWITCHES ARCHIVE FOLDER\n");
    return 2;
  }
  void* lib = ::dlopen(argv[a], RTLD_NOW | RTLD_LOCAL);
  auto command = lib ? reinterpret_cast<ArcCommandProc>(::dlsym(lib, "Unlha")) : nullptr;
  if (!command) {
    std::fprintf(stderr, "cannot load %s: %s\n", argv[a], ::dlerror());
    return 2;
  }
  const std::string archive = argv[a + 2];
  const fs::path folder = argv[a + 3];
  std::uintmax_t in = 0;
  for (auto& e : fs::directory_iterator(folder))
    if (e.is_regular_file()) in += e.file_size();
  const bool test = std::strcmp(argv[a + 1], "--test") == 0;
  const std::string line = test ? "t \"" + archive + "\""
                                : std::string("a -+ ") + argv[a + 1] + "  \"" + archive + "\" \"" +
                                      (folder / "").string() + "\" *";
  auto cpu = [] {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
  };
  double best = 1e30, bestCpu = 0;
  std::vector<char> report(1 << 16);
  for (int r = 0; r < repeat; ++r) {
    if (!test) fs::remove(archive);
    const double c0 = cpu();
    const auto t0 = std::chrono::steady_clock::now();
    const std::int32_t result = command(nullptr, line.c_str(), report.data(), report.size());
    const auto t1 = std::chrono::steady_clock::now();
    const double c1 = cpu();
    if (result != 0) {
      std::fprintf(stderr, "%s failed (%d):\n%s\n", line.c_str(), result, report.data());
      return 1;
    }
    const double wall = std::chrono::duration<double>(t1 - t0).count();
    if (wall < best) best = wall, bestCpu = c1 - c0;
  }
  std::printf("%ju %ju %.6f %.6f\n", in, fs::file_size(archive), best, bestCpu);
  return 0;
}
