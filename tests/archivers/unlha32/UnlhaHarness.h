// Shared pieces of the UNLHA32.DLL tests: the real library, loaded by path,
// and a fresh temporary folder per test; files, tools, commands, test data
// and the corpus come from the test support library.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ArchiverLibrary.h"
#include "tests/support/Command.h"
#include "tests/support/Corpus.h"
#include "tests/support/Crc32.h"
#include "tests/support/Files.h"
#include "tests/support/GeneratedData.h"
#include "tests/support/TempDirFixture.h"
#include "tests/support/Tools.h"

namespace unlhatest {

namespace fs = std::filesystem;
using namespace testing_support;

inline const ArchiverLibrary kUnlha32(UNLHA32_PATH, "Unlha");

inline RunResult Unlha(const std::string& cmd, std::uint32_t size = 65536) {
  return kUnlha32.Run(cmd, size);
}

class TempDirTest : public TempDirFixture {
 protected:
  void SetUp() override { ASSERT_EQ(kUnlha32.Problem(), ""); }
};

}  // namespace unlhatest
