#include "app/run/Retention.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <utility>

#include "app/run/DeletionCheck.h"
#include "archive/ArchiveFile.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"

namespace pelsok::app {
namespace {

// YYMM of a name that is exactly kind + YYMM + extension, or -1.
int MonthOfName(const std::string& name, const std::string& kind, const std::string& extension) {
  if (name.size() != kind.size() + 4 + extension.size()) return -1;
  if (name.compare(0, kind.size(), kind) != 0) return -1;
  if (name.compare(kind.size() + 4, extension.size(), extension) != 0) return -1;
  int value = 0;
  for (std::size_t i = kind.size(); i < kind.size() + 4; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
    value = value * 10 + (name[i] - '0');
  }
  const int month = value % 100;
  return month >= 1 && month <= 12 ? value : -1;
}

}  // namespace

TRetentionPlan PlanRetention(const std::string& folder, const std::string& kind,
                             const std::string& extension, int keep) {
  std::vector<std::pair<int, std::string>> found;
  platform::DirectorySearch search;
  platform::FindData data;
  for (bool more = search.First(folder + "*", data); more; more = search.Next(data)) {
    if ((data.Attributes & platform::faDirectory) != 0) continue;
    const int month = MonthOfName(data.Name, kind, extension);
    if (month >= 0) found.emplace_back(month, folder + data.Name);
  }
  std::sort(found.begin(), found.end());
  TRetentionPlan plan;
  if (!found.empty()) plan.Newest = found.back().second;
  if (keep <= 0) return plan;
  const std::size_t kept = static_cast<std::size_t>(keep);
  for (std::size_t i = 0; i + kept < found.size(); ++i) plan.Remove.push_back(found[i].second);
  return plan;
}

TRetentionResult ApplyRetention(const TRetentionPlan& plan, const TArchiveFormat& format,
                                bool dryRun) {
  TRetentionResult result;
  if (plan.Remove.empty()) return result;
  std::int32_t tested = -1;
  try {
    TArchiveFile archive(nullptr);
    archive.SetFileName(plan.Newest);
    archive.SetArchiverType(format.Type);
    archive.SetOutputSize(1 << 16);
    tested = CheckBeforeDeletion(archive, nullptr, nullptr).Result;
  } catch (const std::exception& e) {
    result.Refused = e.what();
  }
  if (tested != 0) {
    result.Refused =
        platform::FormatText("最新の書庫 '%s' の検査に通らないため、古い書庫は削除しません。%s",
                             {plan.Newest, result.Refused});
    return result;
  }
  for (const auto& name : plan.Remove) {
    if (dryRun || platform::DeleteFile(name))
      result.Removed.push_back(name);
    else
      result.NotRemoved.push_back(name + " (" + std::strerror(errno) + ")");
  }
  return result;
}

}  // namespace pelsok::app
