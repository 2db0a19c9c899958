// Logs of one month in a fresh folder, the command-line front that packs
// them with --delete, and what every archive of that month holds.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/Command.h"
#include "tests/support/Tools.h"

namespace apptest {

class RunSafetyTest : public apptest::AppTest {
 protected:
  void SetUp() override {
    if (!platform::FileExists(platform::ExtractFilePath(PELSOK_CLI) + "UNLHA32.DLL"))
      GTEST_SKIP() << "UNLHA32.DLL is not built next to pelsok-cli yet";
  }
  std::vector<std::string> CliArgs() const {
    return {PELSOK_CLI, "--folder", dir.Path(), "--year", "26", "--month", "11", "--delete"};
  }
  testing_support::CommandResult Cli() {
    std::string line;
    for (const auto& a : CliArgs()) line += "'" + a + "' ";
    return testing_support::RunCommand(line);
  }
  // Names of the entries of every archive for this month, main and kept.
  std::set<std::string> ArchivedAndTested() {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
      const std::string file = e.path().filename().string();
      if (file.rfind("DR2611.LZH", 0) != 0 || file.find(".lock") != std::string::npos ||
          file.ends_with(".sha256"))
        continue;
      const auto tested = testing_support::RunCommand("lhasa t '" + e.path().string() + "'");
      EXPECT_EQ(tested.status, 0) << file << ": " << tested.output;
      const auto listed = testing_support::RunCommand("lhasa l '" + e.path().string() + "'");
      for (int d = 1; d <= 30; ++d) {
        const std::string log =
            "DR11" + std::string(d < 10 ? "0" : "") + std::to_string(d) + ".log";
        if (listed.output.find(log) != std::string::npos) names.insert(log);
      }
    }
    return names;
  }
};

}  // namespace apptest
