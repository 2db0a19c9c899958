// Shared pieces of the application tests: a fresh folder, hive and current
// folder per test, and log files in it.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/DateTime.h"
#include "tests/support/Command.h"
#include "tests/support/Files.h"
#include "tests/support/ScopedCwd.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tools.h"

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
      testing_support::WriteFile(folder + name, body + name + "\n");
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

}  // namespace apptest
