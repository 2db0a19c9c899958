#include "app/run/DeletionPass.h"

#include "app/run/FileChecksum.h"
#include "app/run/RunStep.h"

#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Wildcard.h"

namespace pelsok::app {
namespace {

// The entry's own name: archives may use either delimiter inside.
std::string EntryFileName(const std::string& entry) {
  const std::size_t d = platform::LastDelimiter("/\\", entry);
  return d == std::string::npos ? entry : entry.substr(d + 1);
}

}  // namespace

std::string TDeletionResult::KeptMessage() const {
  if (Kept.empty()) return {};
  std::string msg = kKeptHeading;
  for (const auto& k : Kept) msg += "\n" + k;
  return msg;
}

TDeletionResult DeletePackedFiles(const std::string& mask,
                                  const std::vector<TListedEntry>& entries) {
  TDeletionResult result;
  const std::string folder = platform::ExtractFilePath(mask);
  const std::string nameMask = platform::ExtractFileName(mask);
  for (const auto& entry : entries) {
    const std::string name = EntryFileName(entry.Name);
    std::string full = folder + name;
    if (folder.empty()) full = platform::ExpandFileName(name);
    if (name.empty() || !platform::MatchesMask(name, nameMask)) {
      result.Kept.push_back(entry.Name + " (この実行のマスクに合いません)");
      continue;
    }
    const auto size = platform::FileSize(full);
    if (!size) {
      result.Kept.push_back(full + " (見つかりません)");
      continue;
    }
    if (*size != entry.OriginalSize) {
      result.Kept.push_back(full + " (書庫の中とサイズが違います)");
      continue;
    }
    if (entry.Sum) {
      // Read again now: a log rewritten in place since it was packed stays.
      const auto sum = FileChecksum(full, entry.Sum->Kind);
      if (!sum) {
        result.Kept.push_back(full + " (読み直せません)");
        continue;
      }
      if (sum->Size != entry.OriginalSize || sum->Sum != *entry.Sum) {
        result.Kept.push_back(full + " (書庫の中と内容が違います)");
        continue;
      }
    }
    if (!platform::DeleteFile(full)) {
      result.Kept.push_back(full + " (削除できません)");
      continue;
    }
    result.Deleted.push_back(full);
    ReachRunStep(TRunStep::LogDeleted, full);
  }
  return result;
}

}  // namespace pelsok::app
