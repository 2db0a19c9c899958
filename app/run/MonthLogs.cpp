#include "app/run/MonthLogs.h"

#include <algorithm>
#include <fstream>

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

}  // namespace pelsok::app
