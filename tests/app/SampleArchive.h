// A month's logs below a folder, packed by the real run as the window packs
// them, and the fixture of the viewer's tests that pack them.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <string>
#include <utility>
#include <vector>

#include "app/run/CompressRun.h"
#include "app/settings/ArchiveFormat.h"
#include "platform/FileSystem.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/FileTimes.h"
#include "tests/support/Files.h"

namespace apptest {

// Three logs of different sizes, written on 1, 2 and 3 November 2026 at 12:34:56 UTC.
inline const std::vector<std::pair<std::string, std::size_t>> kSampleLogs = {
    {"DR1101.log", 3000}, {"DR1102.log", 20000}, {"DR1103.log", 700}};

inline std::string SampleLogBody(const std::string& name, std::size_t size) {
  std::string body;
  unsigned x = static_cast<unsigned>(size);
  while (body.size() < size) {
    x = x * 1103515245u + 12345u;
    body += name + " " + std::to_string(x % 100000) + " request served\n";
  }
  body.resize(size);
  return body;
}

// Writes the sample logs (and extra ones of 500 bytes) into logFolder (with
// its trailing '/') and packs them as DR2611 of the format; returns the archive.
inline std::string PackSampleLogs(const std::string& logFolder, const std::string& format,
                                  bool shiftJis = false,
                                  const std::vector<std::string>& extra = {}) {
  auto logs = kSampleLogs;
  for (const auto& e : extra) logs.push_back({e, 500});
  for (std::size_t i = 0; i < logs.size(); ++i) {
    const std::string path = logFolder + logs[i].first;
    testing_support::WriteFile(path, SampleLogBody(logs[i].first, logs[i].second));
    testing_support::SetWriteTime(
        path, testing_support::UtcTime(2026, 11, static_cast<int>(i % 3) + 1, 12, 34, 56));
  }
  pelsok::app::TRunInput in;
  in.Folder = logFolder;
  in.Kind = "DR";
  in.Year = "26";
  in.Month = "11";
  in.Format = pelsok::app::FindArchiveFormat(format).value();
  in.ShiftJisNames = shiftJis;
  pelsok::app::TRunState state;
  return pelsok::app::TCompressRun(state).Run(in, [] { return false; }).Names.ArchiveName;
}

// Each test's log folder var/log/app/ below its own folder, times in UTC;
// skipped where the archiver libraries are not built beside the test.
class SampleArchiveTest : public AppTest {
 protected:
  void SetUp() override {
    if (!platform::FileExists(platform::ExecutableDir() + "UNLHA32.DLL"))
      GTEST_SKIP() << "the archiver libraries are not built next to the test yet";
    setenv("TZ", "UTC", 1);
    tzset();
    logFolder = dir.Folder("var/log/app") + "/";
  }

  // The stored name of a log: its folder below the root, as the run stores
  // it; a cabinet keeps no folders.
  std::string Stored(const std::string& log, const std::string& format = "lzh") const {
    return format == "cab" ? log : logFolder.substr(1) + log;
  }

  std::string logFolder;
};

}  // namespace apptest
