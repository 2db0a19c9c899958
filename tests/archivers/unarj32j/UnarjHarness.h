// Shared pieces of the UNARJ32J.DLL tests: the real library, loaded by path,
// and a fresh temporary folder per test; files, tools and commands come from
// the test support library (arj, 7zz, unar are found on PATH).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ArchiverLibrary.h"
#include "tests/support/Command.h"
#include "tests/support/Files.h"
#include "tests/support/GeneratedData.h"
#include "tests/support/TempDirFixture.h"
#include "tests/support/Tools.h"

namespace unarjtest {

namespace fs = std::filesystem;
using namespace testing_support;

inline const ArchiverLibrary kUnarj32j(UNARJ32J_PATH, "Unarj");

inline RunResult Unarj(const std::string& cmd) { return kUnarj32j.Run(cmd); }

// One listing of the archive through the find entries: name, size, CRC.
struct Listed {
  std::string name;
  std::uint32_t size = 0;
  std::uint32_t crc = 0;
  TArchiveEntryInfo info{};
};
inline std::vector<Listed> ListArchive(const std::string& archive, const char* wild = "*.*") {
  std::vector<Listed> out;
  for (const TArchiveEntryInfo& info : kUnarj32j.List(archive, wild))
    out.push_back({info.FileName, info.OriginalSize, info.Crc, info});
  return out;
}

// Every file, folder and link below root, relative ('/' after folders), sorted.
inline std::vector<std::string> ListTree(const fs::path& root) {
  std::vector<std::string> names;
  if (!fs::exists(root)) return names;
  for (auto& e : fs::recursive_directory_iterator(root))
    names.push_back(fs::relative(e.path(), root).string() + (e.is_directory() ? "/" : ""));
  std::sort(names.begin(), names.end());
  return names;
}

class UnarjTest : public TempDirFixture {
 protected:
  void SetUp() override { ASSERT_EQ(kUnarj32j.Problem(), ""); }
};

}  // namespace unarjtest
