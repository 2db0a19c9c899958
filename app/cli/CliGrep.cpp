#include "app/cli/CliGrep.h"

#include <ostream>
#include <stdexcept>

#include "app/cli/CliOutput.h"
#include "app/run/ArchiveGrep.h"

namespace pelsok::app {
namespace {

constexpr int kGrepFound = 0;
constexpr int kGrepNone = 1;
constexpr int kGrepError = 2;

struct TGrepArgs {
  TGrepRequest Request;
  std::vector<std::string> Paths;
};

// Throws std::invalid_argument with the message for a line it cannot read.
TGrepArgs ReadGrepArgs(const std::vector<std::string>& args) {
  TGrepArgs a;
  bool havePattern = false;
  bool options = true;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& s = args[i];
    if (options && s == "--") {
      options = false;
    } else if (options && s == "--member") {
      if (++i == args.size())
        throw std::invalid_argument("--member にメンバーの名前がありません。");
      a.Request.MemberMask = args[i];
    } else if (options && s.rfind("--member=", 0) == 0) {
      a.Request.MemberMask = s.substr(9);
    } else if (options && s.size() > 1 && s[0] == '-' && s[1] != '-') {
      for (char c : s.substr(1)) {
        switch (c) {
          case 'i':
            a.Request.Match.IgnoreCase = true;
            break;
          case 'F':
            a.Request.Match.Kind = TPatternKind::Fixed;
            break;
          case 'E':
            a.Request.Match.Kind = TPatternKind::Extended;
            break;
          case 'H':
          case 'n':
            break;  // every line names its file and number already
          case 'c':
            a.Request.CountOnly = true;
            break;
          case 'l':
            a.Request.NamesOnly = true;
            break;
          default:
            throw std::invalid_argument(std::string("grep: 知らないオプション -") + c);
        }
      }
    } else if (options && s.rfind("--", 0) == 0) {
      throw std::invalid_argument("grep: 知らないオプション " + s);
    } else if (!havePattern) {
      a.Request.Pattern = s;
      havePattern = true;
    } else {
      a.Paths.push_back(s);
    }
  }
  if (!havePattern) throw std::invalid_argument("grep: 検索するパターンがありません。");
  if (a.Paths.empty()) throw std::invalid_argument("grep: 書庫またはフォルダの名前がありません。");
  return a;
}

}  // namespace

bool IsGrepCommand(const std::vector<std::string>& args) {
  return !args.empty() && args[0] == "grep";
}

int RunGrepCommand(const std::vector<std::string>& args, std::ostream& outStream,
                   std::ostream& errStream) {
  TCliOutput err(errStream);
  TGrepArgs a;
  try {
    a = ReadGrepArgs(args);
  } catch (const std::invalid_argument& e) {
    err.Error(e.what());
    err.Line("Try 'pelsok-cli --help'.");
    return kGrepError;
  }
  bool found = false, failed = false;
  std::vector<std::string> archives;
  for (const auto& path : a.Paths) {
    try {
      for (auto& name : GrepArchivesOf(path)) archives.push_back(std::move(name));
    } catch (const std::exception& e) {
      err.Error(e.what());
      failed = true;
    }
  }
  try {
    GrepArchives(
        archives, a.Request,
        [](const std::string& archive, const std::string& member) {
          return TCliOutput::Name(archive) + ":" + TCliOutput::Name(member);
        },
        [&](TArchiveHits& hits) {
          outStream << hits.Out;
          for (const auto& e : hits.Errors) err.Error(e);
          found = found || hits.Found;
          failed = failed || hits.Failed;
        });
  } catch (const std::invalid_argument& e) {
    err.Error(std::string("grep: パターンが正しくありません: ") + e.what());
    return kGrepError;
  } catch (const std::exception& e) {
    err.Error(e.what());
    return kGrepError;
  }
  outStream.flush();
  if (failed) return kGrepError;
  return found ? kGrepFound : kGrepNone;
}

}  // namespace pelsok::app
