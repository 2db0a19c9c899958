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
using namespace testing_support;

inline const ArchiverLibrary kCab32(CAB32_PATH, "Cab");

inline RunResult Cab(const std::string& cmd) { return kCab32.Run(cmd); }

// The cabinet tools are part of the test set-up: a missing one fails.
#define REQUIRE_TOOL(name)                                                                       \
  do {                                                                                           \
    if (::testing_support::FindTool(name).empty()) FAIL() << "tool not found on PATH: " << name; \
  } while (0)

// Records listed through CabOpenArchive / CabFindFirst / CabFindNext.
inline std::vector<TArchiveEntryInfo> List(const std::string& archive, const char* wild = "*") {
  return kCab32.List(archive, wild);
}

class TempDirTest : public TempDirFixture {
 protected:
  void SetUp() override { ASSERT_EQ(kCab32.Problem(), ""); }
};

}  // namespace cabtest
