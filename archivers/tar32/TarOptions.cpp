#include "TarOptions.h"

#include <cctype>

#include "StreamCompressor.h"
#include "common/ArchiverApi.h"
#include "common/Delimiters.h"
#include "common/Messages.h"

namespace tar32 {
namespace {

const std::vector<std::string> kSwitches = {"z",
                                            "B",
                                            "J",
                                            "-zstd",
                                            "f",
                                            "o",
                                            "c",
                                            "g",
                                            "I",
                                            "AH",
                                            "-use-directory=",
                                            "-check-all-path=",
                                            "-display-dialog="};

[[noreturn]] void Bad(const std::string& message) { throw arc::Failure(arc::kBadCommand, message); }

int Number(const arc::Switch& sw, int low, int high, int empty) {
  if (sw.value.empty()) return empty;
  int v = 0;
  bool negative = false;
  for (std::size_t i = 0; i < sw.value.size(); ++i) {
    const char c = sw.value[i];
    if (i == 0 && c == '-') {
      negative = true;
      continue;
    }
    if (c < '0' || c > '9' || v > 1000) Bad(arc::msg::BadSwitchValue("-" + sw.name + sw.value));
    v = v * 10 + (c - '0');
  }
  if (negative) v = -v;
  if (v < low || v > high) Bad(arc::msg::BadSwitchValue("-" + sw.name + sw.value));
  return v;
}

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
  if (s.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[s.size() - tail.size() + i])) !=
        std::tolower(static_cast<unsigned char>(tail[i])))
      return false;
  return true;
}

}  // namespace

const std::vector<std::string>& KnownSwitches() { return kSwitches; }

tararc::Compression CompressionForName(const std::string& archive) {
  for (const char* t : {".tgz", ".gz"})
    if (EndsWithNoCase(archive, t)) return tararc::Compression::gzip;
  for (const char* t : {".tbz", ".tbz2", ".bz2"})
    if (EndsWithNoCase(archive, t)) return tararc::Compression::bzip2;
  for (const char* t : {".taz", ".Z"})
    if (EndsWithNoCase(archive, t)) return tararc::Compression::compress;
  for (const char* t : {".txz", ".xz"})
    if (EndsWithNoCase(archive, t)) return tararc::Compression::xz;
  for (const char* t : {".tzst", ".zst"})
    if (EndsWithNoCase(archive, t)) return tararc::Compression::zstd;
  return tararc::Compression::none;
}

TarOptions ReadOptions(const arc::CommandLine& line) {
  TarOptions o;
  if (line.command.size() != 1 ||
      (std::tolower(static_cast<unsigned char>(line.command[0])) != 'c' &&
       std::tolower(static_cast<unsigned char>(line.command[0])) != 'x' &&
       std::tolower(static_cast<unsigned char>(line.command[0])) != 't'))
    Bad(arc::msg::UnknownCommand(line.command, "c で作成、x で展開、t で検査"));
  o.command = static_cast<char>(std::tolower(static_cast<unsigned char>(line.command[0])));
  if (!line.archive || line.archive->empty()) Bad(arc::msg::NoArchiveName("-f 名前"));
  o.archive = arc::ToPlatformDelimiters(*line.archive);
  o.baseDir = arc::ToPlatformDelimiters(line.baseDir);
  o.files = line.files;
  for (const auto& sw : line.switches) {
    if (!sw.known) continue;
    const std::string& n = sw.name;
    if (n == "z" || n == "B") {
      o.compression = n == "z" ? tararc::Compression::gzip : tararc::Compression::bzip2;
      o.level = Number(sw, 0, 9, 0);
    } else if (n == "J") {
      o.compression = tararc::Compression::xz;
      o.level = Number(sw, 0, 9, 0);
    } else if (n == "-zstd") {
      // --zstd, or --zstd=N.
      arc::Switch level = sw;
      if (!level.value.empty() && level.value[0] == '=') level.value.erase(0, 1);
      if (!sw.value.empty() && (sw.value[0] != '=' || level.value.empty()))
        Bad("bad value in switch -" + sw.name + sw.value);
      o.compression = tararc::Compression::zstd;
      o.level = Number(level, 0, kMaxZstdLevel, 0);
    } else if (n == "-use-directory=") {
      o.useDirectory = Number(sw, 0, 1, 1) != 0;
    } else if (n == "-check-all-path=") {
      // Any other number is taken as "not asked": the front end may pass what it was given.
      o.checkAllPath = Number(sw, -1000, 1000, 1) == 1;
    } else if (n == "-display-dialog=") {
      Number(sw, 0, 1, 0);
    } else if (n == "AH") {
      o.includeHidden = true;
    } else if (n == "I") {
      o.includeHidden = false;
    } else if (n == "c") {
      o.overwriteAlways = Number(sw, 0, 1, 1) != 0;
    }
    // -f and -o only mark the operand that follows; -g is accepted and ignored.
  }
  return o;
}

}  // namespace tar32
