// Shared pieces of the CAB32.DLL tests: the real library, loaded by path,
// and a fresh temporary folder per test; files, tools and commands come from
// the test support library (cabextract, gcab, 7zz, bsdtar are found on PATH).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ArchiverLibrary.h"
#include "tests/support/Command.h"
#include "tests/support/Crc32.h"
#include "tests/support/Files.h"
#include "tests/support/GeneratedData.h"
#include "tests/support/TempDirFixture.h"
#include "tests/support/Tools.h"

namespace cabtest {

namespace fs = std::filesystem;
using testing_support::ArchiverLibrary;
using testing_support::Crc32;
using testing_support::FindTool;
using testing_support::ListFiles;
using testing_support::LogText;
using testing_support::RandomBytes;
using testing_support::ReadFile;
using testing_support::Shell;
using testing_support::WriteFile;
using RunResult = testing_support::ArchiverRun;

inline const ArchiverLibrary& Cab32() {
  static const ArchiverLibrary lib(CAB32_PATH, "Cab");
  return lib;
}

inline RunResult Cab(const std::string& cmd) { return Cab32().Run(cmd); }

inline std::string Q(const std::string& s) { return testing_support::CommandLineQuote(s); }

// The cabinet tools are part of the test set-up: a missing one fails.
#define REQUIRE_TOOL(name)                                                               \
  do {                                                                                   \
    if (::cabtest::FindTool(name).empty()) FAIL() << "tool not found on PATH: " << name; \
  } while (0)

// Records listed through CabOpenArchive / CabFindFirst / CabFindNext.
inline std::vector<TArchiveEntryInfo> List(const std::string& archive, const char* wild = "*") {
  return Cab32().List(archive, wild);
}

class TempDirTest : public testing_support::TempDirFixture {
 protected:
  void SetUp() override { ASSERT_EQ(Cab32().Problem(), ""); }
};

}  // namespace cabtest
