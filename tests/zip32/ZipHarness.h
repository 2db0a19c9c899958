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

// ZIP32J.DLL writes through "Zip" but lists through the "UnZip" entries.
inline const ArchiverLibrary& Zip32j() {
  static const ArchiverLibrary lib(ZIP32J_PATH, "Zip", "UnZip");
  return lib;
}
inline const ArchiverLibrary& Unzip32() {
  static const ArchiverLibrary lib(UNZIP32_PATH, "UnZip");
  return lib;
}

inline RunResult Zip(const std::string& cmd, std::uint32_t size = 65536) {
  return Zip32j().Run(cmd, size);
}
inline RunResult UnZip(const std::string& cmd, std::uint32_t size = 65536) {
  return Unzip32().Run(cmd, size);
}

inline std::string Q(const std::string& s) { return testing_support::CommandLineQuote(s); }

// Names the listing entries give, in order.
inline std::vector<std::string> ListNames(const ArchiverLibrary& lib, const std::string& archive,
                                          const char* wild = "*") {
  std::vector<std::string> names;
  for (const TArchiveEntryInfo& info : lib.List(archive, wild)) names.push_back(info.FileName);
  return names;
}

class ZipTest : public testing_support::TempDirFixture {
 protected:
  void SetUp() override {
    ASSERT_EQ(Zip32j().Problem(), "");
    ASSERT_EQ(Unzip32().Problem(), "");
  }
};

}  // namespace ziptest
