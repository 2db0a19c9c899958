// cmdline_fuzz: the shared command-line reader on any text; the first line
// of the input is the command line, the rest the text of every response file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t nl = input.find('\n');
  const std::string line = input.substr(0, nl);
  const std::string response = nl == std::string::npos ? std::string() : input.substr(nl + 1);
  static const std::vector<std::string> known = {"a",  "c",   "r",  "w",  "x", "jm",
                                                 "jo", "job", "jx", "jz", "o", "z"};
  arc::CommandLine c;
  auto err = arc::ParseCommandLine(
      line, known, [&](const std::string&) -> std::optional<std::string> { return response; }, c);
  if (!err) {
    for (const auto& f : c.files)
      if (f.empty()) std::abort();  // empty operands are skipped, never passed on
    if (!c.baseDir.empty() && c.baseDir.back() != '/' && c.baseDir.back() != '\\') std::abort();
  }
  return 0;
}
