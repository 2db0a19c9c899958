// Shared pieces of the tar32.dll tests: the real library, loaded by path,
// and a fresh temporary folder per test; files, tools and commands come from
// the test support library (GNU tar, bsdtar, 7zz, gzip, bzip2 are found on PATH).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/ArchiverLibrary.h"
#include "tests/support/Command.h"
#include "tests/support/Files.h"
#include "tests/support/GeneratedData.h"
#include "tests/support/TempDirFixture.h"
#include "tests/support/Tools.h"

namespace tartest {

namespace fs = std::filesystem;
using testing_support::ArchiverLibrary;
using testing_support::LogText;
using testing_support::ReadFile;
using testing_support::Shell;
using testing_support::WriteFile;
using RunResult = testing_support::ArchiverRun;

inline const ArchiverLibrary& Tar32() {
  static const ArchiverLibrary lib(TAR32_PATH, "Tar");
  return lib;
}

inline RunResult Tar(const std::string& cmd, std::uint32_t size = 1 << 20) {
  return Tar32().Run(cmd, size);
}

// The type number TarGetArchiveType gives for the file.
inline std::int32_t Type(const std::string& file) {
  using TypeProc = std::int32_t (*)(const char* fileName);
  static const TypeProc type = Tar32().Entry<TypeProc>("TarGetArchiveType");
  return type(file.c_str());
}

inline std::string Q(const std::string& s) { return testing_support::CommandLineQuote(s); }

// Every file and link below root with what it holds: the file's length and
// a hash of its data, or "-> target" for a symbolic link. Folders are left out.
inline std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> tree;
  if (!fs::exists(root)) return tree;
  for (auto& e : fs::recursive_directory_iterator(root)) {
    const std::string rel = fs::relative(e.path(), root).string();
    if (e.is_symlink()) {
      tree[rel] = "-> " + fs::read_symlink(e.path()).string();
    } else if (e.is_regular_file()) {
      const std::string data = ReadFile(e.path());
      tree[rel] = std::to_string(data.size()) + " bytes, hash " +
                  std::to_string(std::hash<std::string>()(data));
    }
  }
  return tree;
}

struct Listed {
  std::string name;
  TArchiveEntryInfo info;
};

// Lists through TarOpenArchive / TarFindFirst / TarFindNext; empty when the
// archive does not open (opened tells which).
inline std::vector<Listed> List(const std::string& archive, const std::string& wild = "*",
                                bool* opened = nullptr) {
  std::vector<Listed> out;
  for (const TArchiveEntryInfo& info : Tar32().List(archive, wild, 0, opened))
    out.push_back({info.FileName, info});
  return out;
}

class TempDirTest : public testing_support::TempDirFixture {
 protected:
  void SetUp() override { ASSERT_EQ(Tar32().Problem(), ""); }
};

}  // namespace tartest
