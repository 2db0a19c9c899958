// Shared pieces of the UNZIP32.DLL and ZIP32J.DLL tests: the real libraries,
// loaded by path, and a fresh temporary folder per test; files, tools
// (unzip, zip, 7zz, bsdtar, python3) and commands come from test support.
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

namespace ziptest {

namespace fs = std::filesystem;
using namespace testing_support;

// ZIP32J.DLL writes through "Zip" but lists through the "UnZip" entries.
inline const ArchiverLibrary kZip32j(ZIP32J_PATH, "Zip", "UnZip");
inline const ArchiverLibrary kUnzip32(UNZIP32_PATH, "UnZip");

inline RunResult Zip(const std::string& cmd, std::uint32_t size = 65536) {
  return kZip32j.Run(cmd, size);
}
inline RunResult UnZip(const std::string& cmd, std::uint32_t size = 65536) {
  return kUnzip32.Run(cmd, size);
}

// Names the listing entries give, in order.
inline std::vector<std::string> ListNames(const ArchiverLibrary& lib, const std::string& archive,
                                          const char* wild = "*") {
  std::vector<std::string> names;
  for (const TArchiveEntryInfo& info : lib.List(archive, wild)) names.push_back(info.FileName);
  return names;
}

class ZipTest : public TempDirFixture {
 protected:
  void SetUp() override {
    ASSERT_EQ(kZip32j.Problem(), "");
    ASSERT_EQ(kUnzip32.Problem(), "");
  }
};

}  // namespace ziptest
