#include "app/run/MonthLogs.h"

#include <algorithm>

#include "app/text/IntegerText.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace pelsok::app {

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
