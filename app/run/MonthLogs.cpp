#include "app/run/MonthLogs.h"

#include <algorithm>
#include <fstream>

#include "app/text/IntegerText.h"
#include "platform/FileMode.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace pelsok::app {

TMonthLogs FindMonthLogs(const std::string& mask) {
  TMonthLogs logs;
  const std::string folder = platform::ExtractFilePath(mask);
  platform::DirectorySearch search;
  platform::FindData data;
  for (bool more = search.First(mask, data); more; more = search.Next(data)) {
    if ((data.Attributes & platform::faDirectory) != 0) continue;
    const std::string path = folder + data.Name;
    if (!std::ifstream(path, std::ios::binary).is_open()) {
      logs.Unreadable.push_back(path);
      continue;
    }
    logs.Readable.push_back(path);
    logs.ReadableBytes += data.Size;
    if (const auto mode = platform::FileModeOf(path)) logs.CommonMode &= mode->Mode & 0777;
  }
  std::sort(logs.Readable.begin(), logs.Readable.end());
  std::sort(logs.Unreadable.begin(), logs.Unreadable.end());
  return logs;
}

std::vector<std::string> MonthLogs(const std::string& mask) {
  std::vector<std::string> files;
  platform::DirectorySearch search;
  platform::FindData data;
  for (bool more = !mask.empty() && search.First(mask, data); more; more = search.Next(data))
    if ((data.Attributes & platform::faDirectory) == 0)
      files.push_back(platform::ExtractFilePath(mask) + data.Name);
  std::sort(files.begin(), files.end());
  return files;
}

std::string NoLogsNote(const std::string& kind, const std::string& year, const std::string& month) {
  const int m = StrToInt(month);
  return kind + ": " + year + (m <= 9 ? "0" : "") + std::to_string(m) + " のログはありません";
}

}  // namespace pelsok::app
