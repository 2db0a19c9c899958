#include "app/cli/CliConvert.h"

#include <ostream>

#include "app/cli/CliJob.h"
#include "app/cli/CliOutput.h"
#include "app/run/ArchiveConversion.h"
#include "app/settings/ArchiveFormat.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace pelsok::app {
namespace {

constexpr const char* kDefaultFormat = "tzst";

struct TConvertOptions {
  std::string Format = kDefaultFormat;
  bool Replace = false;
  std::vector<std::string> Operands;
};

TConvertOptions Parse(const std::vector<std::string>& args) {
  TConvertOptions o;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--replace") {
      o.Replace = true;
    } else if (a == "--format" || a.rfind("--format=", 0) == 0) {
      if (a == "--format") {
        if (i + 1 >= args.size())
          throw platform::Exception("convert: --format の後に形式がありません。");
        o.Format = args[++i];
      } else {
        o.Format = a.substr(9);
      }
    } else if (a == "--") {
      o.Operands.insert(o.Operands.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                        args.end());
      break;
    } else if (a.size() > 1 && a[0] == '-') {
      throw platform::Exception("convert: 知らないオプション '" + a + "'");
    } else {
      o.Operands.push_back(a);
    }
  }
  if (o.Operands.empty()) throw platform::Exception("convert: 書庫かフォルダの名前がありません。");
  return o;
}

std::string Summary(const std::string& name, const TConversionResult& r) {
  std::string line = platform::FormatText("変換しました: %s -> %s (%s 個, %s -> %s バイト)",
                                          {name, r.NewName, std::to_string(r.Files),
                                           std::to_string(r.OldSize), std::to_string(r.NewSize)});
  if (r.Replaced) line += "、元の書庫を削除しました";
  return line;
}

}  // namespace

bool IsConvertCommand(const std::vector<std::string>& args) {
  return !args.empty() && args[0] == "convert";
}

int RunConvertCommand(const std::vector<std::string>& args, std::ostream& outStream,
                      std::ostream& errStream) {
  TCliOutput out(outStream);
  TCliOutput err(errStream);
  TConvertOptions o;
  std::optional<TArchiveFormat> format;
  try {
    o = Parse(args);
    format = FindArchiveFormat(o.Format);
    if (!format)
      throw platform::Exception(platform::FormatText("convert: 形式 '%s' は書けません (%s)。",
                                                     {o.Format, ArchiveFormatNames()}));
  } catch (const std::exception& e) {
    err.Error(e.what());
    return kExitError;
  }
  // A folder gives its archives, oldest first; a file is itself.
  std::vector<std::string> archives;
  int exit = kExitOk;
  for (const auto& operand : o.Operands) {
    if (platform::DirectoryExists(operand)) {
      const auto found = ArchivesInFolder(operand);
      if (found.empty())
        out.Line(platform::FormatText("フォルダ '%s' に書庫がありません。", {operand}));
      archives.insert(archives.end(), found.begin(), found.end());
    } else {
      archives.push_back(operand);
    }
  }
  for (const auto& name : archives) {
    const TConversionResult r = ConvertArchive(name, *format->Row, o.Replace, nullptr);
    if (r.Converted && r.Message.empty()) {
      out.Line(Summary(name, r));
    } else if (r.Skipped) {
      out.Line("変換不要: " + r.Message);
    } else {
      if (r.Converted) out.Line(Summary(name, r));
      err.Lines(r.Message, "pelsok-cli: ");
      exit = kExitFailed;
    }
  }
  return exit;
}

}  // namespace pelsok::app
