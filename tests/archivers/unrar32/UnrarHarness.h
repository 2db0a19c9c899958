// Shared pieces of the UNRAR32.DLL tests: the real library, loaded by path,
// a fresh temporary folder per test, the copied corpus and folder
// comparison; the independent readers (unar, bsdtar) run through test support.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "RarBuilder.h"
#include "RarOptions.h"
#include "tests/support/ArchiverLibrary.h"
#include "tests/support/Command.h"
#include "tests/support/Corpus.h"
#include "tests/support/Files.h"
#include "tests/support/TempDirFixture.h"
#include "tests/support/Tools.h"

namespace unrartest {

namespace fs = std::filesystem;
using namespace testing_support;

inline const ArchiverLibrary kUnrar32(UNRAR32_PATH, "Unrar");

inline RunResult Unrar(const std::string& cmd) { return kUnrar32.Run(cmd); }

inline std::string Data(const std::string& name) {
  return testing_support::CorpusDir("rar") + "/" + name;
}

// Every record the find entries give for the wildcard; empty when the
// archive does not open.
inline std::vector<TArchiveEntryInfo> List(const std::string& archive, const char* wild = "*.*",
                                           std::uint32_t mode = 0) {
  return kUnrar32.List(archive, wild, mode);
}

// Regular files below root (relative path → content) and folders (ending '/').
inline std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> tree;
  if (!fs::exists(root)) return tree;
  for (auto& e : fs::recursive_directory_iterator(root)) {
    const std::string rel = fs::relative(e.path(), root).string();
    if (e.is_directory())
      tree[rel + "/"] = "";
    else
      tree[rel] = e.is_regular_file() ? ReadFile(e.path().string()) : "<not a file>";
  }
  return tree;
}

class UnrarTest : public TempDirFixture {
 protected:
  void SetUp() override { ASSERT_EQ(kUnrar32.Problem(), ""); }
};

}  // namespace unrartest
