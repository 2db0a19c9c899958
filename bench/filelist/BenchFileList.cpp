// Benchmark driver for the file-list expansion.
//   bench_filelist make DIR FOLDERS FILES   lays out FOLDERS folders (ten groups
//                                           of FOLDERS/10) with FILES files each,
//                                           nine in ten named *.log
//   bench_filelist expand ITEM              expands ITEM with r = 1, writes the
//                                           list to stdout and the time to stderr
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "archivecore/ArchiverOptions.h"
#include "archivecore/FileList.h"
#include "platform/StringList.h"

namespace {

int Make(const std::string& dir, int folders, int files) {
  const int groups = 10;
  char name[64];
  for (int f = 0; f < folders; ++f) {
    std::snprintf(name, sizeof name, "g%02d/f%04d", f % groups, f);
    const std::filesystem::path folder = std::filesystem::path(dir) / name;
    std::filesystem::create_directories(folder);
    for (int i = 0; i < files; ++i) {
      std::snprintf(name, sizeof name, "DR%04d%02d.%s", i, f % 31 + 1, i % 10 == 9 ? "txt" : "log");
      std::ofstream(folder / name) << i;
    }
  }
  return 0;
}

int Expand(const std::string& item) {
  pelsok::TArchiverOptions o;
  o.r = 1;
  platform::TStringList list;
  list.Add(item);
  const auto start = std::chrono::steady_clock::now();
  pelsok::ExpandFileList(o, list);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  std::string text;
  for (const auto& line : list) text.append(line).push_back('\n');
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fprintf(stderr, "ExpandFileList: %zu files in %.1f ms\n", list.Count(),
               std::chrono::duration<double, std::milli>(elapsed).count());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "make" && argc == 5) return Make(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
  if (command == "expand" && argc == 3) return Expand(argv[2]);
  std::cerr << "usage: bench_filelist make DIR FOLDERS FILES | expand ITEM\n";
  return 2;
}
