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
using namespace testing_support;

inline const ArchiverLibrary kTar32(TAR32_PATH, "Tar");

inline RunResult Tar(const std::string& cmd, std::uint32_t size = 1 << 20) {
  return kTar32.Run(cmd, size);
}

// The type number TarGetArchiveType gives for the file.
inline std::int32_t Type(const std::string& file) {
  using TypeProc = std::int32_t (*)(const char* fileName);
  static const TypeProc type = kTar32.Entry<TypeProc>("TarGetArchiveType");
  return type(file.c_str());
}

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
  for (const TArchiveEntryInfo& info : kTar32.List(archive, wild, 0, opened))
    out.push_back({info.FileName, info});
  return out;
}

class TempDirTest : public TempDirFixture {
 protected:
  void SetUp() override { ASSERT_EQ(kTar32.Problem(), ""); }
};

}  // namespace tartest
