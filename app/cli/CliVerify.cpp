#include "app/cli/CliVerify.h"

#include <ostream>

#include "app/cli/CliJob.h"
#include "app/cli/CliOutput.h"
#include "app/run/ManifestVerify.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"

namespace pelsok::app {

bool IsVerifyCommand(const std::vector<std::string>& args) {
  return !args.empty() && args[0] == "verify";
}

int RunVerifyCommand(const std::vector<std::string>& args, std::ostream& outStream,
                     std::ostream& errStream) {
  TCliOutput out(outStream);
  TCliOutput err(errStream);
  std::vector<std::string> operands;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {
      operands.insert(operands.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                      args.end());
      break;
    }
    if (a.size() > 1 && a[0] == '-') {
      err.Error("verify: 知らないオプション '" + a + "'");
      return kExitError;
    }
    operands.push_back(a);
  }
  if (operands.empty()) {
    err.Error("verify: 書庫かフォルダの名前がありません。");
    return kExitError;
  }
  int exit = kExitOk;
  for (const auto& operand : operands) {
    std::vector<std::string> targets;
    if (platform::DirectoryExists(operand)) {
      targets = VerifyTargets(operand);
      if (targets.empty()) {
        out.Line(platform::FormatText("フォルダ '%s' に書庫がありません。", {operand}));
        exit = kExitFailed;
      }
    } else {
      targets.push_back(operand);
    }
    for (const auto& target : targets) {
      const TVerifyResult r = VerifyArchive(target);
      out.Line(VerifySummary(r));
      for (const auto& f : r.Findings)
        out.Line((IsVerifyFailure(f.Kind) ? "  " : "  (情報) ") + f.Message);
      if (r.Verdict != TVerifyVerdict::Matches) exit = kExitFailed;
    }
  }
  return exit;
}

}  // namespace pelsok::app
