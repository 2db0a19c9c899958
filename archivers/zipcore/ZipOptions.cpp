#include "ZipOptions.h"

#include <string_view>

#include "common/ArchiverApi.h"
#include "common/Delimiters.h"
#include "common/Failure.h"
#include "common/Messages.h"
#include "common/OrderedPool.h"
#include "common/SafeText.h"

namespace zipcore {
namespace {

void ZipLetter(char c, ZipOptions& o) {
  switch (c) {
    case 'd':
      o.command = ZipCommand::remove;
      break;
    case 'r':
      o.recurse = true;
      break;
    case 'j':
      o.junkPaths = true;
      break;
    case 'u':
      o.onlyNewer = true;
      break;
    case 'D':
      o.noFolderEntries = true;
      break;
    case 'S':
      o.includeHidden = true;
      break;
    case 'q':
      o.quiet = true;
      break;
    case 'v':
      o.verbose = true;
      break;
    case 'o':
      o.archiveTimeNewest = true;
      break;
    case 'k':
      o.msdos = true;
      break;
    case 'J':
      o.stripSfx = true;
      break;
    case 'F':
      o.salvage = true;
      break;
    default:
      if (c >= '0' && c <= '9') o.level = c - '0';
      break;  // other letters are ignored
  }
}

void UnZipLetter(char c, ZipOptions& o) {
  switch (c) {
    case 'x':
      o.command = ZipCommand::extract;
      break;
    case 't':
      o.command = ZipCommand::test;
      break;
    case 'l':
      o.command = ZipCommand::list;
      break;
    case 'o':
      o.overwrite = true;
      break;
    case 'j':
      o.junkPaths = true;
      break;
    case 'q':
      o.quiet = true;
      break;
    case 'v':
      o.verbose = true;
      break;
    default:
      break;  // other letters are ignored
  }
}

constexpr std::string_view kThreads = "-threads=";

int ThreadCount(const std::string& digits) {
  if (!digits.empty() && digits.size() <= 2 &&
      digits.find_first_not_of("0123456789") == std::string::npos) {
    const int n = std::stoi(digits);
    if (n <= arc::OrderedPool::kMaxThreads) return n;
  }
  throw arc::Failure(arc::kBadCommand,
                     arc::msg::BadSwitchValue(
                         "--threads=" + arc::SafeText(digits),
                         "0 から " + std::to_string(arc::OrderedPool::kMaxThreads) + " まで"));
}

}  // namespace

ZipOptions ReadZipOptions(const std::string& text, bool unzip) {
  arc::CommandLine line;
  // The line has no command word; a fixed one in front keeps every piece
  // of the caller's line a switch or an operand.
  if (auto err = arc::ParseCommandLine("zip " + text, {}, arc::ReadResponseFile, line))
    throw arc::Failure(err->result, err->message);
  ZipOptions o;
  o.command = unzip ? ZipCommand::extract : ZipCommand::add;
  for (const auto& sw : line.switches) {
    const std::string& body = sw.name;  // no known names: the whole text after '-'
    if (body.empty()) continue;
    if (body[0] == 'P') {
      o.password = body.substr(1);
    } else if (body[0] == '-') {
      if (unzip && body == "-i") o.quiet = true;  // --i: no report line per member
      if (!unzip && body.starts_with(kThreads))
        o.threads = ThreadCount(body.substr(kThreads.size()));
    } else {
      for (char c : body) unzip ? UnZipLetter(c, o) : ZipLetter(c, o);
    }
  }
  if (!line.archive || line.archive->empty())
    throw arc::Failure(arc::kBadCommand, arc::msg::NoArchiveName());
  o.archive = arc::ToPlatformDelimiters(*line.archive);
  o.baseDir = arc::ToPlatformDelimiters(line.baseDir);
  o.files = line.files;
  if (!unzip && o.files.empty() && (o.command == ZipCommand::remove || !o.stripSfx))
    throw arc::Failure(arc::kBadCommand, arc::msg::NoFileNames());
  return o;
}

}  // namespace zipcore
