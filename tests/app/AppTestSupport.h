// Shared pieces of the application tests: a fresh folder and hive per test,
// log files, running an independent tool, answering modal windows.
#pragma once

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/DateTime.h"
#include "tests/support/TempDir.h"

namespace apptest {

// Every test gets its own folder, hive file (PELSOK_HIVE) and current folder.
class AppTest : public ::testing::Test {
 protected:
  AppTest() : cwd_(dir.Path()) { setenv("PELSOK_HIVE", (dir / "hive.reg").c_str(), 1); }

  // The folder as the window's path field wants it, with its trailing '/'.
  std::string Folder() const { return dir.Path() + "/"; }
  // One log per day: kind + MM + DD + ".log" (kind + YY + MM + DD in 6-digit mode).
  std::vector<std::string> MakeLogs(const std::string& folder, const std::string& prefix, int days,
                                    const std::string& body = "line\n") {
    std::vector<std::string> names;
    for (int d = 1; d <= days; ++d) {
      const std::string name = prefix + (d < 10 ? "0" : "") + std::to_string(d) + ".log";
      const std::string path = folder + name;
      std::ofstream(path, std::ios::binary) << body << name << "\n";
      names.push_back(name);
    }
    return names;
  }

  testing_support::TempDir dir;

 private:
  testing_support::ScopedCwd cwd_;
};

inline std::function<platform::TDateTime()> FixedDate(int y, int m, int d) {
  return [=] { return platform::EncodeDate(y, m, d); };
}

// Output and exit status of a shell command.
struct CommandResult {
  int status = -1;
  std::string output;
};

inline CommandResult RunCommand(const std::string& command) {
  CommandResult r;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

// Fails the test clearly when an independent tool is not on PATH.
inline bool ToolOnPath(const std::string& tool) {
  return RunCommand("command -v " + tool).status == 0;
}

}  // namespace apptest
