// Shared pieces of the UNRAR32.DLL tests: the real library loaded with
// dlopen, a fresh temporary folder per test, the copied corpus, folder
// comparison, and the independent readers (unar, bsdtar) run in a shell.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "RarBuilder.h"
#include "RarOptions.h"
#include "common/ArchiverApi.h"
#include "tests/support/Command.h"
#include "tests/support/Corpus.h"
#include "tests/support/Files.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tools.h"

namespace unrartest {

namespace fs = std::filesystem;
using testing_support::ReadFile;

struct Library {
  void* handle = nullptr;
  ArcCommandProc command = nullptr;
  ArcOpenProc open = nullptr;
  ArcCloseProc close = nullptr;
  ArcFindFirstProc findFirst = nullptr;
  ArcFindNextProc findNext = nullptr;
  ArcCheckArchiveProc check = nullptr;
  ArcSetProgressProc setProgress = nullptr;

  static Library& Get() {
    static Library lib = [] {
      Library l;
      l.handle = ::dlopen(UNRAR32_PATH, RTLD_NOW | RTLD_LOCAL);
      if (!l.handle) return l;
      auto sym = [&](const char* name) { return ::dlsym(l.handle, name); };
      l.command = reinterpret_cast<ArcCommandProc>(sym("Unrar"));
      l.open = reinterpret_cast<ArcOpenProc>(sym("UnrarOpenArchive"));
      l.close = reinterpret_cast<ArcCloseProc>(sym("UnrarCloseArchive"));
      l.findFirst = reinterpret_cast<ArcFindFirstProc>(sym("UnrarFindFirst"));
      l.findNext = reinterpret_cast<ArcFindNextProc>(sym("UnrarFindNext"));
      l.check = reinterpret_cast<ArcCheckArchiveProc>(sym("UnrarCheckArchive"));
      l.setProgress = reinterpret_cast<ArcSetProgressProc>(sym("UnrarSetProgressCallback"));
      return l;
    }();
    return lib;
  }
};

struct RunResult {
  std::int32_t result = -1;
  std::string output;
};

inline RunResult Unrar(const std::string& cmd) {
  std::vector<char> buf(1 << 16, '\x7f');
  RunResult r;
  r.result = Library::Get().command(nullptr, cmd.c_str(), buf.data(),
                                    static_cast<std::uint32_t>(buf.size()));
  r.output = buf.data();
  return r;
}

inline std::string Q(const std::string& s) { return "\"" + s + "\""; }

inline std::string Data(const std::string& name) {
  return testing_support::CorpusDir("rar") + "/" + name;
}

// Every record the find entries give for the wildcard; empty when the
// archive does not open.
inline std::vector<TArchiveEntryInfo> List(const std::string& archive, const char* wild = "*.*",
                                           std::uint32_t mode = 0) {
  std::vector<TArchiveEntryInfo> out;
  Library& lib = Library::Get();
  const ArcHandle h = lib.open(nullptr, archive.c_str(), mode);
  if (h == 0) return out;
  TArchiveEntryInfo info{};
  for (int r = lib.findFirst(h, wild, &info); r == 0; r = lib.findNext(h, &info))
    out.push_back(info);
  lib.close(h);
  return out;
}

// Runs a shell command; returns its exit status, output into *out.
inline int Shell(const std::string& cmd, std::string* out = nullptr) {
  const testing_support::CommandResult r = testing_support::RunCommand(cmd);
  if (out) *out = r.output;
  return r.status;
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

class UnrarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Library::Get().handle, nullptr)
        << "cannot load " << UNRAR32_PATH << ": " << ::dlerror();
  }
  std::string P(const std::string& rel) const { return dir_ / rel; }
  testing_support::TempDir dir_;
};

}  // namespace unrartest
