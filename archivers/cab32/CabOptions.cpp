#include "CabOptions.h"

#include "common/ArchiverApi.h"
#include "common/Delimiters.h"
#include "common/Failure.h"
#include "common/Messages.h"

namespace cab {

const std::vector<std::string>& KnownSwitches() {
  static const std::vector<std::string> names = {"o", "i", "r", "j", "m"};
  return names;
}

CabOptions ReadOptions(const arc::CommandLine& line) {
  CabOptions o;
  if (line.command == "-a" || line.command == "-A")
    o.command = Command::add;
  else if (line.command == "-x" || line.command == "-X")
    o.command = Command::extract;
  else if (line.command == "-t" || line.command == "-T")
    o.command = Command::test;
  else if (line.command == "-f" || line.command == "-F")
    o.command = Command::makeSfx;
  else
    throw arc::Failure(arc::kBadCommand, arc::msg::UnknownCommand(line.command));
  if (!line.archive || line.archive->empty())
    throw arc::Failure(arc::kBadCommand, arc::msg::NoArchiveName());
  o.archive = arc::ToPlatformDelimiters(*line.archive);
  o.baseDir = arc::ToPlatformDelimiters(line.baseDir);
  for (const auto& f : line.files) o.files.push_back(arc::ToPlatformDelimiters(f));
  for (const auto& sw : line.switches) {
    if (!sw.known) continue;
    if (sw.name == "m") {
      if (sw.value == "0")
        o.store = true;
      else if (sw.value == "1" || sw.value.empty())
        o.store = false;
      else
        throw arc::Failure(arc::kBadCommand,
                           arc::msg::BadSwitchValue("-m" + sw.value, "0 (無圧縮) か 1 (MSZIP)"));
      continue;
    }
    // -o, -i, -r and -j take no value; -o0 and the like switch them off.
    const bool on = sw.value != "0";
    if (sw.name == "o") o.overwrite = on;
    if (sw.name == "i") o.quiet = on;
    if (sw.name == "r") o.recurse = on;
    if (sw.name == "j") o.noFolders = on;
  }
  return o;
}

}  // namespace cab
