// The command-line front: one Compress run or the continuous command, no
// window; an archive command (list, test, extract, grep); convert; or verify.
#include <iostream>
#include <string>
#include <vector>

#include "app/Version.h"
#include "app/cli/CliArchive.h"
#include "app/cli/CliConvert.h"
#include "app/cli/CliGrep.h"
#include "app/cli/CliJob.h"
#include "app/cli/CliVerify.h"
#include "app/cli/TerminalProgress.h"
#include "platform/DateTime.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "pelsok-cli " << pelsok::app::kVersionText << "\n";
    return 0;
  }
  if (pelsok::app::IsGrepCommand(args))
    return pelsok::app::RunGrepCommand(args, std::cout, std::cerr);
  const pelsok::app::TTerminalProgress progress;
  if (pelsok::app::IsConvertCommand(args))
    return pelsok::app::RunConvertCommand(args, std::cout, std::cerr);
  if (pelsok::app::IsVerifyCommand(args))
    return pelsok::app::RunVerifyCommand(args, std::cout, std::cerr);
  if (pelsok::app::IsArchiveCommand(args))
    return pelsok::app::RunArchiveCommand(args, std::cout, std::cerr);
  return pelsok::app::RunCli(args, std::cout, std::cerr, platform::Now());
}
