// Shared pieces of the UNLHA32.DLL tests: the real library loaded with
// dlopen, a fresh temporary folder per test, and test data; files, tools,
// commands and the corpus come from the test support library.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/ArchiverApi.h"
#include "tests/support/Command.h"
#include "tests/support/Corpus.h"
#include "tests/support/Crc32.h"
#include "tests/support/Files.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tools.h"

namespace unlhatest {

namespace fs = std::filesystem;

using testing_support::CorpusDir;
using testing_support::CorpusRow;
using testing_support::CorpusRows;
using testing_support::Crc32;
using testing_support::FindTool;
using testing_support::ListFiles;
using testing_support::ReadFile;
using testing_support::RunCommand;
using testing_support::ShellQuote;
using testing_support::WriteFile;

struct Library {
  void* handle = nullptr;
  ArcCommandProc command = nullptr;
  ArcOpenProc open = nullptr;
  ArcCloseProc close = nullptr;
  ArcFindFirstProc findFirst = nullptr;
  ArcFindNextProc findNext = nullptr;
  ArcGetVersionProc version = nullptr;
  ArcCheckArchiveProc check = nullptr;

  static Library& Get() {
    static Library lib = [] {
      Library l;
      l.handle = ::dlopen(UNLHA32_PATH, RTLD_NOW | RTLD_LOCAL);
      if (!l.handle) return l;
      l.command = reinterpret_cast<ArcCommandProc>(::dlsym(l.handle, "Unlha"));
      l.open = reinterpret_cast<ArcOpenProc>(::dlsym(l.handle, "UnlhaOpenArchive"));
      l.close = reinterpret_cast<ArcCloseProc>(::dlsym(l.handle, "UnlhaCloseArchive"));
      l.findFirst = reinterpret_cast<ArcFindFirstProc>(::dlsym(l.handle, "UnlhaFindFirst"));
      l.findNext = reinterpret_cast<ArcFindNextProc>(::dlsym(l.handle, "UnlhaFindNext"));
      l.version = reinterpret_cast<ArcGetVersionProc>(::dlsym(l.handle, "UnlhaGetVersion"));
      l.check = reinterpret_cast<ArcCheckArchiveProc>(::dlsym(l.handle, "UnlhaCheckArchive"));
      return l;
    }();
    return lib;
  }
};

struct RunResult {
  std::int32_t result = -1;
  std::string output;
};

inline RunResult Unlha(const std::string& cmd, std::uint32_t size = 65536) {
  Library& lib = Library::Get();
  std::vector<char> buf(size + 1, '\x7f');
  RunResult r;
  r.result = lib.command(nullptr, cmd.c_str(), size ? buf.data() : nullptr, size);
  if (size) r.output = buf.data();
  return r;
}

// A name quoted for the library's command line.
inline std::string Q(const std::string& s) { return "\"" + s + "\""; }

inline std::string RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(rng());
  return s;
}

// Log-like text: repetitive lines with varying numbers.
inline std::string LogText(std::size_t bytes, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s;
  const char* words[] = {"INFO",    "WARN",    "ERROR", "connect",
                         "request", "timeout", "user",  "session"};
  while (s.size() < bytes) {
    s += "2026-11-" + std::to_string(1 + rng() % 28) + " 12:" + std::to_string(rng() % 60) + " " +
         words[rng() % 8] + " " + words[rng() % 8] + " id=" + std::to_string(rng() % 100000) + "\n";
  }
  s.resize(bytes);
  return s;
}

// A fresh temporary folder for each test, removed afterwards.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Library::Get().handle, nullptr)
        << "cannot load " << UNLHA32_PATH << ": " << ::dlerror();
  }
  fs::path Path(const std::string& rel) const { return tmp_ / rel; }
  std::string P(const std::string& rel) const { return tmp_ / rel; }
  testing_support::TempDir tmp_;
  const fs::path dir_{tmp_.Path()};
};

}  // namespace unlhatest
