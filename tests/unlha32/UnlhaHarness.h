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

using testing_support::ArchiverLibrary;
using testing_support::CorpusDir;
using testing_support::CorpusRow;
using testing_support::CorpusRows;
using testing_support::Crc32;
using testing_support::FindTool;
using testing_support::ListFiles;
using testing_support::LogText;
using testing_support::RandomBytes;
using testing_support::ReadFile;
using testing_support::RunCommand;
using testing_support::ShellQuote;
using testing_support::WriteFile;
using RunResult = testing_support::ArchiverRun;

inline const ArchiverLibrary& Unlha32() {
  static const ArchiverLibrary lib(UNLHA32_PATH, "Unlha");
  return lib;
}

inline RunResult Unlha(const std::string& cmd, std::uint32_t size = 65536) {
  return Unlha32().Run(cmd, size);
}

inline std::string Q(const std::string& s) { return testing_support::CommandLineQuote(s); }

class TempDirTest : public testing_support::TempDirFixture {
 protected:
  void SetUp() override { ASSERT_EQ(Unlha32().Problem(), ""); }
};

}  // namespace unlhatest
