// The command-line front: one Compress run or the continuous command, no window.
#include <iostream>
#include <string>
#include <vector>

#include "app/core/CliJob.h"
#include "platform/DateTime.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return pelsok::app::RunCli(args, std::cout, std::cerr, platform::Now());
}
