#include "RarOptions.h"

#include <cctype>

#include "common/ArchiverApi.h"
#include "common/Delimiters.h"
#include "common/Messages.h"

namespace unrar {
namespace {

const std::vector<std::string> kSwitches = {"u", "y", "s", "q"};

}  // namespace

const std::vector<std::string>& KnownSwitches() { return kSwitches; }

RarOptions ReadOptions(const arc::CommandLine& line) {
  RarOptions o;
  // Commands are written as switches: -x, -e, -t, -l (either case).
  std::string command;
  if (line.command.size() == 2 && line.command[0] == '-')
    command = std::string(
        1, static_cast<char>(std::tolower(static_cast<unsigned char>(line.command[1]))));
  if (command != "x" && command != "e" && command != "t" && command != "l")
    throw arc::Failure(arc::kBadCommand, arc::msg::UnknownCommand(line.command));
  o.command = command[0];
  if (!line.archive || line.archive->empty())
    throw arc::Failure(arc::kBadCommand, arc::msg::NoArchiveName());
  o.archive = arc::ToPlatformDelimiters(*line.archive);
  o.baseDir = arc::ToPlatformDelimiters(line.baseDir);
  o.files = line.files;
  for (const auto& sw : line.switches) {
    if (!sw.known || !sw.value.empty()) continue;
    if (sw.name == "u") o.onlyNewer = true;
    if (sw.name == "y") o.assumeYes = true;
    if (sw.name == "s") o.wholePath = true;
    if (sw.name == "q") o.stopAtFirst = true;
  }
  return o;
}

}  // namespace unrar
