#include "UnarjOptions.h"

#include <cctype>

#include "common/ArchiverApi.h"
#include "common/Delimiters.h"
#include "common/Failure.h"
#include "common/Messages.h"

namespace unarj {
namespace {

// Every switch of the front end's LHA command line, so that each is known
// (and its value not taken for a file name) even when it changes nothing here.
const std::vector<std::string> kSwitches = {
    "a",   "c",  "e",  "f",   "h",  "i",  "l",   "m",   "n",   "o",   "p",   "r",  "s",  "t",
    "u",   "w",  "x",  "y",   "z",  "jc", "jd",  "je",  "jf",  "jh",  "ji",  "jm", "jn", "jo",
    "job", "jp", "jr", "jss", "jw", "jx", "jyc", "jyd", "jyk", "jyn", "jyo", "jz", "ga", "gd",
    "ge",  "gf", "gj", "gm",  "gn", "go", "gp",  "gr",  "gs",  "gu",  "gw"};

[[noreturn]] void Bad(const std::string& message) { throw arc::Failure(arc::kBadCommand, message); }

// A number, 0 meaning off; an empty value means 1 ("-c" is "-c1").
bool Flag(const arc::Switch& sw) {
  if (sw.value.empty()) return true;
  if (sw.value.size() > 3 || sw.value.find_first_not_of("0123456789") != std::string::npos)
    Bad(arc::msg::BadSwitchValue("-" + sw.name + sw.value, "数を指定してください"));
  return std::stoi(sw.value) != 0;
}

std::string WithDelimiter(std::string folder) {
  if (!arc::EndsWithDelimiter(folder)) folder += '/';
  return folder;
}

}  // namespace

const std::vector<std::string>& KnownSwitches() { return kSwitches; }

UnarjOptions ReadOptions(const arc::CommandLine& line) {
  UnarjOptions o;
  const std::string commands = "xetlv";
  if (line.command.size() != 1 ||
      commands.find(static_cast<char>(std::tolower(line.command[0]))) == std::string::npos)
    Bad(arc::msg::UnknownCommand(line.command,
                                 "このライブラリは書庫を読むだけです: x, e, t, l, v"));
  o.command = static_cast<char>(std::tolower(line.command[0]));
  if (!line.archive || line.archive->empty()) Bad(arc::msg::NoArchiveName());
  o.archive = *line.archive;
  o.baseDir = arc::ToPlatformDelimiters(line.baseDir);
  o.files = line.files;
  std::string workDir;
  for (const auto& sw : line.switches) {
    if (!sw.known) continue;
    if (sw.name == "x") {
      o.keepFolders = Flag(sw);
    } else if (sw.name == "c") {
      o.overwriteAlways = Flag(sw);
    } else if (sw.name == "w") {
      if (sw.value.empty()) Bad("-w にはフォルダを指定してください");
      workDir = WithDelimiter(arc::ToPlatformDelimiters(sw.value));
    }
    // -m and -n (quiet modes) and the rest change nothing: no window is shown.
  }
  if (o.baseDir.empty()) o.baseDir = workDir;
  return o;
}

}  // namespace unarj
