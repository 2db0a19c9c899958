#include "UnlhaOptions.h"

#include <cctype>
#include <ctime>

#include "common/ArchiverApi.h"
#include "common/Delimiters.h"
#include "common/Failure.h"
#include "common/Messages.h"
#include "lzh/LzhCodec.h"

namespace unlha {
namespace {

// The switches of the front end's LHA command line, plus -k (Shift-JIS names).
const std::vector<std::string> kSwitches = {
    "a",   "c",  "e",  "f",   "h",  "i",  "l",  "m",   "n",   "o",   "p",   "r",   "s",  "t",
    "u",   "w",  "x",  "y",   "z",  "jc", "jd", "je",  "jf",  "jh",  "ji",  "jm",  "jn", "jo",
    "job", "jp", "jr", "jss", "jt", "jw", "jx", "jyc", "jyd", "jyk", "jyn", "jyo", "jz", "ga",
    "gd",  "ge", "gf", "gj",  "gm", "gn", "go", "gp",  "gr",  "gs",  "gu",  "gw",  "k"};

[[noreturn]] void Bad(const std::string& message) { throw arc::Failure(arc::kBadCommand, message); }

// A numeric switch value: empty means 1 ("-r" is "-r1").
int Number(const arc::Switch& sw, int low, int high) {
  if (sw.value.empty()) return 1;
  int v = 0;
  for (char c : sw.value) {
    if (c < '0' || c > '9' || v > 1000) Bad(arc::msg::BadSwitchValue("-" + sw.name + sw.value));
    v = v * 10 + (c - '0');
  }
  if (v < low || v > high) Bad(arc::msg::BadSwitchValue("-" + sw.name + sw.value));
  return v;
}

}  // namespace

const std::vector<std::string>& KnownSwitches() { return kSwitches; }

std::optional<std::int64_t> ParseDateBound(const std::string& text) {
  if (text.size() != 6 && text.size() != 12) return std::nullopt;
  int f[6] = {0, 0, 0, 0, 0, 0};
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    f[i / 2] = f[i / 2] * 10 + (text[i] - '0');
  }
  std::tm tm{};
  tm.tm_year = (f[0] < 80 ? 2000 + f[0] : 1900 + f[0]) - 1900;
  tm.tm_mon = f[1] - 1;
  tm.tm_mday = f[2];
  tm.tm_hour = f[3];
  tm.tm_min = f[4];
  tm.tm_sec = f[5];
  tm.tm_isdst = -1;
  if (f[1] < 1 || f[1] > 12 || f[2] < 1 || f[2] > 31 || f[3] > 23 || f[4] > 59 || f[5] > 59)
    return std::nullopt;
  std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1)) return std::nullopt;
  return static_cast<std::int64_t>(t);
}

UnlhaOptions ReadOptions(const arc::CommandLine& line) {
  UnlhaOptions o;
  const std::string commands = "auxedslvt";
  if (line.command.size() != 1 ||
      commands.find(static_cast<char>(std::tolower(line.command[0]))) == std::string::npos)
    Bad(arc::msg::UnknownCommand(line.command));
  o.command = static_cast<char>(std::tolower(line.command[0]));
  if (!line.archive || line.archive->empty()) Bad(arc::msg::NoArchiveName());
  o.archive = *line.archive;
  o.baseDir = arc::ToPlatformDelimiters(line.baseDir);
  o.files = line.files;
  o.method = lzh::kDefaultMethod;
  o.effort = lzh::kDefaultEffort;
  for (const auto& sw : line.switches) {
    if (!sw.known) continue;
    const std::string& n = sw.name;
    if (n == "r")
      o.recursion = Number(sw, 0, 2);
    else if (n == "x")
      o.keepFolders = Number(sw, 0, 2) != 0;
    else if (n == "a")
      o.includeHidden = Number(sw, 0, 2) != 0;
    else if (n == "c")
      o.skipNewerTest = Number(sw, 0, 1) != 0;
    else if (n == "m" || n == "n")
      Number(sw, 0, 3);
    else if (n == "k")
      o.cp932Names = Number(sw, 0, 1) != 0;
    else if (n == "w") {
      o.workDir = sw.value;
      if (o.workDir.empty()) Bad("-w にはフォルダを指定してください");
    } else if (n == "o") {
      int v = sw.value.empty() ? 5 : Number(sw, 0, 7);
      if (v == 5)
        o.method = "-lh5-";
      else if (v == 6)
        o.method = "-lh6-";
      else if (v == 7)
        o.method = "-lh7-";
      else
        Bad("圧縮方式のスイッチ -o" + sw.value +
            " には対応していません (-o5, -o6, -o7 のどれかを指定してください)");
    } else if (n == "z") {
      if (Number(sw, 0, 1) == 1) o.method = "-lh0-";
    } else if (n == "jm") {
      o.effort = Number(sw, 1, 9);
    } else if (n == "jt") {
      o.threads = Number(sw, 0, 64);
    } else if (n == "jo" || n == "job") {
      auto t = ParseDateBound(sw.value);
      if (!t) Bad(arc::msg::BadSwitchValue("-" + n + sw.value, "日付は YYMMDD か YYMMDDhhmmss"));
      (n == "jo" ? o.notBefore : o.notAfter) = *t;
    }
  }
  return o;
}

}  // namespace unlha
